#include "graph/CheckListBox.h"

#include "graph/Latin1.h"

TCheckListBox::TCheckListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!settingCheck_)
            emit ItemCheckClicked(row(item));
    });
}

void TCheckListBox::AddItem(const std::string& text, bool checked)
{
    // Complete before it is added, so that adding reports no check change.
    auto* item = new QListWidgetItem(Latin1(text));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    addItem(item);
}

void TCheckListBox::DeleteItem(int index)
{
    delete takeItem(index);
}

bool TCheckListBox::Checked(int index) const
{
    const QListWidgetItem* it = item(index);
    return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int index, bool checked)
{
    QListWidgetItem* it = item(index);
    if (!it)
        return;
    settingCheck_ = true;
    it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    settingCheck_ = false;
}
