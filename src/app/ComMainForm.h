#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TReceiveLog;

// The acquisition window: opens the port, sends the exposure command, shows
// the received frames in the receive log and plots each decoded frame.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    QLabel* Label1;
    QLabel* Label2;
    QPlainTextEdit* Memo;
    QPushButton* Button_Open;
    QLineEdit* Edit_Data;
    QPushButton* Button_Send;
    QGroupBox* GroupBox1;
    QPushButton* Button_Settings;
    QCheckBox* NewLine_CB;
    QPushButton* Bt_Store;
    QPushButton* Bt_Load;
    QPushButton* Button1;
    QPushButton* Button2;
    QLineEdit* Edit1;
    QLineEdit* Edit2;

    // The receive log's bytes as they came from the port.
    TReceiveLog& Log() const { return *FLog; }

    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectHandlers();

    TReceiveLog* FLog;
};
