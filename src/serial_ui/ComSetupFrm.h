#pragma once

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class TComComboBox;

// The serial setup dialog: six selectors for port name, baud rate, data
// bits, stop bits, parity and flow control, and "OK" and "Cancel". Nothing
// reaches a port while it is open (no selector applies at once); the port's
// ShowSettingsDialog binds it and writes the choices on "OK".
class TComSetupFrm : public QDialog {
    Q_OBJECT
public:
    explicit TComSetupFrm(QWidget* parent = nullptr);

    QPushButton* Button1;
    QPushButton* Button2;
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    TComComboBox* Combo2;
    TComComboBox* Combo3;
    TComComboBox* Combo4;
    TComComboBox* Combo5;
    TComComboBox* Combo6;
    TComComboBox* Combo1;

    // The selectors in the order they are bound, read and applied: port
    // name, baud rate, data bits, stop bits, parity, flow control.
    std::array<TComComboBox*, 6> Selectors() const { return {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6}; }
};
