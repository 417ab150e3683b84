#pragma once

#include <QListWidget>

#include <string>

// A list of texts, each with a check mark the operator can tick: the kind
// of control the graph's view and pan lists are. ItemCheckClicked reports
// the operator's changes only; the program's own (SetChecked, AddItem) are
// silent.
class TCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget* parent = nullptr);

    void AddItem(const std::string& text, bool checked);
    void DeleteItem(int index);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

signals:
    void ItemCheckClicked(int index);

private:
    bool settingCheck_ = false;
};
