#include "QSerialPortPeer.h"

#include "FarSide.h"

#include <QEventLoop>
#include <QSerialPort>

#include <stdexcept>

std::vector<double> MeasureQSerialPortLatency(int events)
{
    PtyPair pty;
    QSerialPort port;
    port.setPortName(QString::fromStdString(pty.SlavePath()));
    port.setBaudRate(115200);
    if (!port.open(QIODevice::ReadWrite))
        throw std::runtime_error("QSerialPort cannot open the pseudo-terminal: " + port.errorString().toStdString());

    LatencyProbe probe(pty.MasterFd(), events);
    QEventLoop loop;
    QObject::connect(&port, &QSerialPort::readyRead, &loop, [&] {
        port.readAll();
        probe.Seen();
        if (probe.Done())
            loop.quit();
    });
    probe.Start();
    loop.exec();
    port.close();
    return probe.Latencies();
}
