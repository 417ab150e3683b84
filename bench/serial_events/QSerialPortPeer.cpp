#include "QSerialPortPeer.h"

#include "FarSide.h"

#include <QEventLoop>
#include <QSerialPort>

#include <stdexcept>

LatencyRun MeasureQSerialPortLatency(int events)
{
    PtyPair pty;
    LatencyProbe probe(pty.MasterFd(), events);
    const TKernelCounts counts;
    QSerialPort port;
    port.setPortName(QString::fromStdString(pty.SlavePath()));
    port.setBaudRate(115200);
    if (!port.open(QIODevice::ReadWrite))
        throw std::runtime_error("QSerialPort cannot open the pseudo-terminal: " + port.errorString().toStdString());

    QEventLoop loop;
    QObject::connect(&port, &QSerialPort::readyRead, &loop, [&] {
        port.readAll();
        probe.Seen();
        if (probe.Done())
            loop.quit();
    });
    const TKernelCounts::TSample before = counts.Now();
    probe.Start();
    loop.exec();
    const TKernelCounts::TSample after = counts.Now();
    port.close();
    return {probe.Latencies(), after - before};
}
