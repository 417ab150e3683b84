#include "FakeInstrument.h"

#include "remote/RemoteClient.h"
#include "remote/RemoteServer.h"

#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class RemoteServerTest : public ::testing::Test {
protected:
    void SetUp() override { server.Listen({QHostAddress(QHostAddress::LocalHost), 0}); }

    std::unique_ptr<QTcpSocket> Connect()
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, server.Address().Port);
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    }
    // The next answer line, with the event loop running meanwhile.
    static QByteArray ReadLine(QTcpSocket& socket)
    {
        (void)QTest::qWaitFor(
            [&] { return socket.canReadLine() || socket.state() != QAbstractSocket::ConnectedState; }, 5000);
        return socket.readLine();
    }
    static QByteArray Ask(QTcpSocket& socket, const QByteArray& line)
    {
        socket.write(line);
        return ReadLine(socket);
    }
    qint64 UnsentBytes() const
    {
        qint64 unsent = 0;
        for (const QTcpSocket* socket : server.findChildren<QTcpSocket*>())
            unsent += socket->bytesToWrite();
        return unsent;
    }

    TFakeInstrument instrument;
    TRemoteServer server{instrument};
};

TEST_F(RemoteServerTest, AnswersInOrderAndRefusesClientsBeyondTheLimit)
{
    EXPECT_EQ(server.Address().Address, QHostAddress(QHostAddress::LocalHost));
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < TRemoteServer::MaxClients; ++i) {
        clients.push_back(Connect());
        EXPECT_EQ(Ask(*clients.back(), "*IDN?\n"), "Mirelda,Mirelda,0,2.10\n");
    }
    EXPECT_EQ(server.ClientCount(), TRemoteServer::MaxClients);
    // Pieces of lines and several lines in one write come out the same.
    clients[0]->write("EXP 7;EXP?\nAVER 4\nAV");
    EXPECT_EQ(ReadLine(*clients[0]), "\"7\"\n");
    EXPECT_EQ(Ask(*clients[0], "ER?\n"), "4\n");

    std::unique_ptr<QTcpSocket> refused = Connect();
    EXPECT_EQ(ReadLine(*refused), TRemoteServer::RefusalText);
    EXPECT_TRUE(QTest::qWaitFor([&] { return refused->state() == QAbstractSocket::UnconnectedState; }, 5000));

    clients.pop_back();
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.ClientCount() == TRemoteServer::MaxClients - 1; }, 5000));
    std::unique_ptr<QTcpSocket> next = Connect();
    EXPECT_EQ(Ask(*next, "*OPC?\n"), "1\n");
}

// As `echo '*IDN?' | nc -q1 HOST PORT` does: the line and the end of the
// client's sending arrive together, before the server has even accepted.
TEST_F(RemoteServerTest, AClientThatShutsItsSendingSideStillGetsItsAnswer)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.Address().Port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(send(fd, "*IDN?\n", 6, 0), 6);
    shutdown(fd, SHUT_WR);
    std::string answer;
    char bytes[256];
    ssize_t got = -1;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (got = recv(fd, bytes, sizeof bytes, MSG_DONTWAIT)) >= 0; }, 5000));
    answer.assign(bytes, size_t(std::max<ssize_t>(got, 0)));
    close(fd);
    EXPECT_EQ(answer, "Mirelda,Mirelda,0,2.10\n");
}

TEST_F(RemoteServerTest, AClientThatNeverReadsHoldsBoundedMemoryAndOthersAreStillServed)
{
    instrument.spectrum.assign(3648, 123.25);
    std::unique_ptr<QTcpSocket> flooder = Connect();
    flooder->setReadBufferSize(1); // takes almost nothing from the kernel
    const QByteArray query("FETCH:SPECTRUM?\n");
    for (int i = 0; i < 20000; ++i) // 500 MB of answers if all were kept
        flooder->write(query);
    bool timerRan = false;
    QTimer::singleShot(300, [&] { timerRan = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return timerRan; }, 5000));
    EXPECT_LE(UnsentBytes(), TRemoteClient::LimitUnsent + 40000);

    std::unique_ptr<QTcpSocket> other = Connect();
    EXPECT_EQ(Ask(*other, "*IDN?\n"), "Mirelda,Mirelda,0,2.10\n");

    // Leaving mid-answer ends only that session.
    flooder->abort();
    flooder.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.ClientCount() == 1; }, 5000));
    EXPECT_EQ(Ask(*other, "*OPC?\n"), "1\n");
}

TEST_F(RemoteServerTest, OverlongLinesAndGarbageGetErrorsAndTheSessionGoesOn)
{
    std::unique_ptr<QTcpSocket> client = Connect();
    client->write(QByteArray(1024 * 1024, 'A'));
    client->write("\n");
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char(i * 37 % 256);
    client->write(garbage.replace('\n', ' ') + '\n');
    EXPECT_EQ(Ask(*client, "SYST:ERR?;SYST:ERR?;SYST:ERR?\n"),
              "-223,\"Too much data;a command line holds at most 4096 bytes\";-101,\"Invalid character\";0,\"No "
              "error\"\n");
}

TEST(RemoteAddressTest, AddressAndPortFormsAreReadOrRefused)
{
    struct TCase {
        QString text;
        bool valid;
        QString normal;
    };
    const TCase cases[] = {
        {"5025", true, "127.0.0.1:5025"},
        {"0", true, "127.0.0.1:0"},
        {"localhost:6000", true, "127.0.0.1:6000"},
        {"0.0.0.0:5025", true, "0.0.0.0:5025"},
        {"192.168.1.20:80", true, "192.168.1.20:80"},
        {"[::1]:5025", true, "[::1]:5025"},
        {"::1:5025", false, ""},
        {"65536", false, ""},
        {"50x", false, ""},
        {"", false, ""},
        {"host.example:5025", false, ""},
        {"1.2.3.4:", false, ""},
    };
    for (const TCase& c : cases) {
        const std::optional<TRemoteAddress> address = ParseRemoteAddress(c.text);
        EXPECT_EQ(address.has_value(), c.valid) << c.text.toStdString();
        if (address) {
            EXPECT_EQ(RemoteAddressText(*address), c.normal);
        }
    }
}

} // namespace
