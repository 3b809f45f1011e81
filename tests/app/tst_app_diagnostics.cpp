// The diagnostics of an adapter page against the virtual adapter: "通信统计"
// counting faults and its reset, the frame trace window from the adapter's
// menu (filters, the raw bytes with their fields and CRC, the export), and
// the message list kept in a daily log and exported as CSV.

#include "AppHarness.h"
#include "TestFiles.h"

#include "FrameTraceDialog.h"
#include "FrameTraceModel.h"
#include "LinkDiagnostics.h"
#include "LinkStatisticsView.h"
#include "MessageLog.h"

#include <QComboBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

using namespace apph;

using testing_support::readAll;

namespace {

void chooseFilter(FrameTraceDialog *dialog, const char *name, const QString &text)
{
    auto *box = dialog->findChild<QComboBox *>(QLatin1String(name));
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

} // namespace

class TestAppDiagnostics : public WindowTest
{
    Q_OBJECT

private slots:
    // A refused lamp and a reply with a bad checksum, as the page shows
    // them; the reset starts from nothing.
    void statisticsCountFaults()
    {
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        LinkStatisticsView *view = manager->page()->slaveWindow()->linkStatistics();
        QVERIFY(view->isVisible());
        QTRY_VERIFY(view->valueText(LinkStatisticsView::Transactions).toInt() > 10);
        QCOMPARE(view->valueText(LinkStatisticsView::Refusals), QStringLiteral("0"));

        QToolButton *reset = view->findChild<QToolButton *>(QStringLiteral("resetButton"));
        QTest::mouseClick(reset, Qt::LeftButton);
        QCOMPARE(view->statistics().transactions, quint64(0));

        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x27;
        refuse.param1 = 0x10;
        refuse.count = 1;
        sim.addFault(refuse);
        const SlaveSnapshot di16 = findSnapshotByUid(manager->slaves(), "DA01B2C3D401");
        manager->adapter()->requestSlaveLamp(di16->recordId, true);
        QTRY_COMPARE_WITH_TIMEOUT(view->valueText(LinkStatisticsView::Refusals), QStringLiteral("1"), 5000);
        for (LinkStatisticsView::Counter c : {LinkStatisticsView::Timeouts, LinkStatisticsView::ChecksumErrors,
                                              LinkStatisticsView::ErrorReports, LinkStatisticsView::IncompleteReplies,
                                              LinkStatisticsView::Reconnects})
            QCOMPARE(view->valueText(c), QStringLiteral("0"));
        QVERIFY(view->valueText(LinkStatisticsView::RoundTrip).contains(QLatin1String(" ms")));
        closeBoxes();
    }

    // The trace window from the adapter's menu: recorded exchanges, the
    // filters, the raw bytes of a refused reply, and what is exported.
    void traceWindow()
    {
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        QVERIFY(triggerAdapterMenu(window->projectView(), 0, QStringLiteral("帧跟踪")));
        auto *dialog = visibleTopLevels<FrameTraceDialog>().value(0);
        QVERIFY(dialog);
        QVERIFY(!dialog->isRecording()); // off until asked
        dialog->setRecording(true);

        tbsim::VirtualAdapter sim = tbsim::bus().adapter(kDemoSerial.toStdString());
        tbsim::FaultRule refuse;
        refuse.kind = tbsim::FaultKind::Refuse;
        refuse.code = 0x27;
        refuse.param1 = 0x10;
        refuse.count = 1;
        sim.addFault(refuse);
        manager->reloadSlaves();
        QTRY_VERIFY_WITH_TIMEOUT(manager->isLoading(), 2000);
        QVERIFY(waitLoaded(manager));
        const SlaveSnapshot di16 = findSnapshotByUid(manager->slaves(), "DA01B2C3D401");
        manager->adapter()->requestSlaveLamp(di16->recordId, true);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requestCount(0x27, 0x10) > 0, 10000);
        QTest::qWait(200);
        dialog->refresh();
        FrameTraceModel *model = dialog->model();
        QVERIFY(model->rowCount() > 16 * 4);

        chooseFilter(dialog, "commandFilter", QStringLiteral("read slave info"));
        chooseFilter(dialog, "stationFilter", QStringLiteral("5"));
        // Two reports out and two back for each read (the reload's, the polls').
        QVERIFY(model->rowCount() >= 4 && model->rowCount() % 4 == 0);
        for (int row = 0; row < model->rowCount(); ++row)
            QCOMPARE(model->data(model->index(row, FrameTraceModel::StationColumn)).toString(), QStringLiteral("5"));

        chooseFilter(dialog, "commandFilter", QStringLiteral("全部"));
        chooseFilter(dialog, "stationFilter", QStringLiteral("全部"));
        chooseFilter(dialog, "resultFilter", QStringLiteral("refused"));
        QCOMPARE(model->rowCount(), 4);
        auto *table = dialog->findChild<QTableView *>(QStringLiteral("traceTable"));
        table->setCurrentIndex(model->index(3, 0)); // the reply's second report
        const QString raw = dialog->rawHtml();
        QVERIFY2(raw.contains(QStringLiteral("CRC 校验正确")), qPrintable(raw));
        QVERIFY(raw.contains(QStringLiteral("适配器拒绝了此请求")));
        QVERIFY(raw.contains(QStringLiteral("CRC 10-11")));
        QVERIFY(raw.contains(QStringLiteral("slave lamp")));

        QTemporaryDir dir;
        const QString text = dir.filePath(QStringLiteral("refused.txt"));
        QCOMPARE(dialog->exportTo(text), QString());
        const QStringList lines = QString::fromUtf8(readAll(text)).split(QLatin1Char('\n'), Qt::SkipEmptyParts).filter(QRegularExpression(QStringLiteral("^\\d")));
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines.at(3).endsWith(QLatin1String("in  | reply 2/2 | 27 10 00 | slave lamp | station - | result refused | refused | crc ok")),
                 qPrintable(lines.at(3)));
        const QString capture = dir.filePath(QStringLiteral("refused.pcap"));
        QCOMPARE(dialog->exportTo(capture), QString());
        QVERIFY(QFileInfo(capture).size() > 4 * 2 * 64);

        dialog->setRecording(false);
        const int recorded = model->totalCount();
        manager->reloadSlaves();
        QTRY_VERIFY_WITH_TIMEOUT(manager->isLoading(), 2000);
        QVERIFY(waitLoaded(manager));
        dialog->refresh();
        QCOMPARE(model->totalCount(), recorded); // nothing recorded while off
        closeBoxes();
    }

    // Every line of the list goes to the day's log with the serial; opening
    // the tab says where; "导出消息" writes the list as CSV.
    void messagesKeptAndExported()
    {
        QScopedPointer<MainWindow> window(newWindow());
        AdapterManage *manager = openDemo(*window);
        QVERIFY(manager);
        MessageWidget *messages = manager->page()->messageWidget();
        const QString logFile = manager->messageLogFile();
        QVERIFY(logFile.startsWith(MessageLog::defaultFolder()));
        QVERIFY2(messageLines(messages).contains(QStringLiteral("None|TarnBUS|消息日志: %1").arg(QDir::toNativeSeparators(logFile))),
                 qPrintable(messageLines(messages).join(QLatin1Char('\n'))));
        messages->appendMessage(MessageWidget::Error, MessageWidget::kSource, QStringLiteral("报文, \"引号\"\n第二行"));
        const QStringList logged = QString::fromUtf8(readAll(logFile)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(logged.size(), messages->count());
        QVERIFY2(logged.last().endsWith(QStringLiteral("\t%1\tError\tTarnBUS\t报文, \"引号\"\\n第二行").arg(kDemoSerial)),
                 qPrintable(logged.last()));
        // The page's own lines keep their language-neutral code beside the
        // text, in the list and in the file: the tab's first line says
        // where the log is.
        const int where = messageLines(messages).indexOf(QStringLiteral("None|TarnBUS|消息日志: %1").arg(QDir::toNativeSeparators(logFile)));
        QCOMPARE(messages->lineCode(where), QStringLiteral("log.file"));
        const QList<MessageLog::Entry> entries = MessageLog::readFile(logFile);
        QCOMPARE(entries.size(), messages->count());
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries.at(i).serial, QString(kDemoSerial));
            QCOMPARE(entries.at(i).line.code, messages->lineCode(i));
            QCOMPARE(entries.at(i).line.text, messageLines(messages).at(i).section(QLatin1Char('|'), 2));
        }
        QVERIFY2(logged.at(where).endsWith(QStringLiteral("\tlog.file")), qPrintable(logged.at(where)));
        for (int i = 0; i + 1 < messages->count(); ++i)
            QVERIFY2(!messages->lineCode(i).isEmpty(), qPrintable(messageLines(messages).at(i)));
        messages->appendMessage(MessageWidget::Waring, MessageWidget::kSource, QStringLiteral("保存组态失败: 适配器拒绝执行!"),
                                QStringLiteral("store.refused"));
        QCOMPARE(MessageLog::readFile(logFile).last().line.code, QStringLiteral("store.refused"));

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("messages.csv"));
        QCOMPARE(messages->exportCsv(csv), QString());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString text = QString::fromUtf8(bytes.mid(3));
        QVERIFY(text.startsWith(QStringLiteral("级别,时间,来源,信息,代码\n")));
        QVERIFY2(text.contains(QStringLiteral(",TarnBUS,\"报文, \"\"引号\"\"\n第二行\",\n")), qPrintable(text.right(160)));
        QVERIFY2(text.endsWith(QStringLiteral(",TarnBUS,保存组态失败: 适配器拒绝执行!,store.refused\n")), qPrintable(text.right(80)));
        QCOMPARE(text.count(QStringLiteral("\nNone,")) + text.count(QStringLiteral("\nInform,")) + text.count(QStringLiteral("\nError,"))
                     + text.count(QStringLiteral("\nWaring,")),
                 messages->count());
    }

    // A log written before codes were kept reads as before, its lines
    // without a code; a line with one gives it back; what is no log line is
    // left out.
    void oldLogsReadable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("messages-2030-01-15.log"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("2030-01-15T08:00:01\t3C2E0A000001\tWaring\tTarnBUS\t保存组态失败: 适配器拒绝执行!\n"
                   "not a log line\n"
                   "2030-01-15T08:00:02\t3C2E0A000001\tWaring\tTarnBUS\tSaving the configuration failed: refused!\tstore.refused\n");
        file.close();
        const QList<MessageLog::Entry> entries = MessageLog::readFile(path);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0).serial, QStringLiteral("3C2E0A000001"));
        QCOMPARE(entries.at(0).line.level, QStringLiteral("Waring"));
        QCOMPARE(entries.at(0).line.text, QStringLiteral("保存组态失败: 适配器拒绝执行!"));
        QCOMPARE(entries.at(0).line.code, QString());
        QCOMPARE(entries.at(1).line.code, QStringLiteral("store.refused"));
        QCOMPARE(entries.at(1).line.time, QDateTime(QDate(2030, 1, 15), QTime(8, 0, 2)));

        // Written and read again: the same line, code and all.
        MessageLog log(QStringLiteral("3C2E0A000001"), dir.path());
        const QDateTime time(QDate(2030, 1, 16), QTime(9, 30, 0));
        QVERIFY(log.append({time, QStringLiteral("Error"), QStringLiteral("TarnBUS"), QStringLiteral("两行\n文字"),
                            QStringLiteral("link.lost")}));
        const QList<MessageLog::Entry> again = MessageLog::readFile(log.fileOf(time.date()));
        QCOMPARE(again.size(), 1);
        QCOMPARE(again.first().line.text, QStringLiteral("两行\n文字"));
        QCOMPARE(again.first().line.code, QStringLiteral("link.lost"));
    }

    // Log files of more than 30 days ago go; the rest and other files stay.
    void oldLogsRemoved()
    {
        QTemporaryDir dir;
        MessageLog log(QStringLiteral("3C2E0A000001"), dir.path());
        const QDate today(2030, 1, 15);
        for (int daysAgo : {0, 1, 30, 31, 90}) {
            QFile file(QDir(dir.path()).filePath(QStringLiteral("messages-%1.log").arg(today.addDays(-daysAgo).toString(Qt::ISODate))));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QFile other(QDir(dir.path()).filePath(QStringLiteral("notes.log")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        QCOMPARE(log.removeOld(today), 2);
        QStringList left = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(left, (QStringList{"messages-2029-12-16.log", "messages-2030-01-14.log", "messages-2030-01-15.log", "notes.log"}));
        // A day's line goes to that day's file.
        QVERIFY(log.append({QDateTime(QDate(2030, 1, 16), QTime(0, 0, 1)), QStringLiteral("Inform"), QStringLiteral("TarnBUS"), QStringLiteral("x")}));
        QVERIFY(QFile::exists(log.fileOf(QDate(2030, 1, 16))));
    }
};

QTEST_MAIN(TestAppDiagnostics)
#include "tst_app_diagnostics.moc"
