#include "app/StartOptions.h"

#include "app/ComMainForm.h"
#include "app/CommandLine.h"
#include "serial/CPort.h"

#include <QLineEdit>
#include <QTimer>

void ApplyStartOptions(TForm1& form, const TStartOptions& options)
{
    TComPort& port = *form.ComPort;
    if (options.Port)
        port.SetPort(*options.Port);
    if (options.BaudRate) {
        port.SetCustomBaudRate(options.CustomBaudRate);
        port.SetBaudRate(*options.BaudRate);
    }
    if (options.Exposure)
        form.Edit_Data->setText(QString::fromLatin1(*options.Exposure));
    if (!options.Start)
        return;
    QTimer::singleShot(0, &form, [&form] {
        form.Button_OpenClick();
        if (form.ComPort->Connected())
            form.Button_SendClick();
    });
}
