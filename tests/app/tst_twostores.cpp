#include "app/BillApp.h"
#include "app/Database.h"
#include "app/Dialect.h"
#include "app/ServerStore.h"
#include "schema/Schema.h"
#include "schema/SchemaTables.h"
#include "schema/StoreCopy.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

using namespace schema;

// The file and a server database side by side: the same rows give the same answers, a whole store
// moves from one to the other and back unchanged, and a server that cannot be used stops the start.
// Every case needs the test cluster, whichever store the run hands the other programs.
class TwoStoresTest : public QObject {
    Q_OBJECT
private slots:
    void everyStatementFormGivesTheSameRowsOnBothStores_data();
    void everyStatementFormGivesTheSameRowsOnBothStores();
    void migrationRoundTripKeepsEveryRow();
    void migrationIntoAStoreWithRowsIsRefused();
    void migrateCommandCopiesAndShowsProgress();
    void unusableServerStopsTheStartWithItsMessage_data();
    void unusableServerStopsTheStartWithItsMessage();
    void serverWithAMissingTableIsRefusedNamingIt();
    void olderServerIsUpgradedKeepingItsRows();
};

namespace {

// Kinds, departments, recipients, managers and books in several states, with names of Chinese
// characters, letters in both cases and digits.
void SeedBooks() {
    const KindSpec a{QStringLiteral("行政收费"), QStringLiteral("收费"), QStringLiteral("A"), QString(), 6, 50, 2.5};
    const KindSpec b{QStringLiteral("abc票据"), QStringLiteral("基金"), QString(), QStringLiteral("x"), 8, 25, 0.1};
    const KindSpec c{QStringLiteral("Zeta"), QStringLiteral("基金"), QString(), QString(), 6, 10, 0, true};
    AddKind(a);
    AddKind(b);
    AddKind(c);
    for (const char *name : {"财务科", "办公室", "Beta部", "alpha部", "7号窗口"})
        AddDepartment(QString::fromUtf8(name));
    AddBroker(QStringLiteral("张三"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("李四"), QStringLiteral("办公室"));
    AddBroker(QStringLiteral("Bob"), QStringLiteral("alpha部"));
    AddManager(QStringLiteral("王五"), true);
    AddManager(QStringLiteral("赵六"));
    AddMaker(QStringLiteral("印刷厂"));
    for (int k = 0; k < 6; ++k) {
        AddStockRun(a, 1 + 50 * k, 100000000000001.0 + k);
        AddStockRun(b, 1 + 25 * k, 100000000000011.0 + k);
    }
    AddStockRun(c, 1);
    CDatabase &db = TheDatabase();
    db.ExecuteStatement(QString::asprintf(
        "UPDATE %s SET %s = '%s', %s = '2026-2-3 10:0:0', %s = '财务科', %s = '张三', %s = 200000000000001 "
        "WHERE %s = 'A000051' OR %s = 'A000101' OR %s = '00000026x'",
        Bill_Info, Bill_Flag, FlagIssued, Bill_Issue_Time, Bill_Issue_Dept, Bill_Issue_Broker, Bill_Issue_No,
        Bill_Begin_Char, Bill_Begin_Char, Bill_Begin_Char));
    db.ExecuteStatement(QString::asprintf(
        "UPDATE %s SET %s = '%s', %s = '2026-3-1 16:30:0', %s = 20, %s = 50.333, %s = 300000000000001 "
        "WHERE %s = 'A000101'",
        Bill_Info, Bill_Flag, FlagReturned, Bill_Return_Time, Bill_Unit_Return_Amount, Bill_Unit_Return_Total,
        Bill_Return_No, Bill_Begin_Char));
}

// Every row of the query as one text line, in the order the store gives them.
QStringList Rows(CDatabase &db, const QString &statement) {
    QStringList rows;
    db.OpenQuery(statement);
    QStringList header;
    // A CASE column without a name is named by each store its own way (the file by its whole text);
    // the program reads such columns by their place.
    for (int c = 0; c < db.ColumnCount(); ++c) {
        const QString name = db.ColumnName(c);
        header << (name.startsWith(QLatin1String("CASE"), Qt::CaseInsensitive) ? QStringLiteral("CASE") : name);
    }
    rows << header.join(u'|');
    for (; !db.IsEOF(); db.MoveNext()) {
        QStringList fields;
        for (int c = 0; c < db.ColumnCount(); ++c) {
            QString value = QStringLiteral("NULL");
            db.ReadFieldText(c, value);
            fields << value;
        }
        rows << fields.join(u'|');
    }
    db.CloseQuery();
    return rows;
}

// The delivered file, seeded, as the program's database, and an empty server database holding a
// copy of it.
struct BothStores {
    QTemporaryDir dir;
    ServerDatabase emptyServer{true};
    CDatabase server;

    BothStores() {
        const QString file = dir.filePath(CDatabase::DataFileName());
        QFile::copy(DeliveredDatabasePath(), file);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        QString error;
        if (!TheDatabase().Open(file, &error))
            qFatal("cannot open the file: %s", qPrintable(error));
        SeedBooks();
        if (!server.OpenServer(ParseServerUrl(emptyServer.Url()), QString(), &error, true))
            qFatal("cannot open the server: %s", qPrintable(error));
        CopyStore(TheDatabase(), server);
    }
    ~BothStores() {
        server.Close();
        TheDatabase().Close();
    }
};

} // namespace

void TwoStoresTest::everyStatementFormGivesTheSameRowsOnBothStores_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("query");
    const auto row = [](const char *name, const char *change, const char *query) {
        QTest::newRow(name) << QString::fromUtf8(change) << QString::fromUtf8(query);
    };
    row("names in pinyin order", "", "SELECT Bill_Kind_Name AS 票据类型 FROM Bill_Kind_Info ORDER BY Bill_Kind_Name ASC");
    row("departments in pinyin order descending", "",
        "SELECT * FROM Bill_Dept_Info ORDER BY Bill_Dept_Name DESC");
    row("a name without case", "", "SELECT * FROM Bill_Kind_Info WHERE Bill_Kind_Name = 'ZETA'");
    row("bill numbers without case", "",
        "SELECT Bill_Begin_Char FROM Bill_Info WHERE Bill_Begin_Char = 'a000051' ORDER BY Bill_Begin_Int");
    row("like ignores case", "",
        "SELECT Bill_Kind_Name FROM Bill_Kind_Info WHERE Bill_Kind_Name LIKE '%ABC%' ESCAPE '\\' ORDER BY 1");
    row("like on an exact column", "",
        "SELECT Bill_Popedom_Tree_Code FROM Bill_Popedom_Tree_Info WHERE Bill_Popedom_Tree_Code LIKE 'p1%' ORDER BY 1");
    row("money sums to the cent", "",
        "SELECT Bill_Kind, SUM(Bill_Unit_Total) AS 金额, COUNT(*) AS 本数 FROM Bill_Info GROUP BY Bill_Kind "
        "ORDER BY Bill_Kind");
    row("next document number", "", "SELECT (MAX(Bill_Repository_No)+1) AS 编号 \t\t\t\t\t\tFROM Bill_Info");
    row("smallest first number in a range", "",
        "SELECT MIN(Bill_Begin_Int) AS x FROM Bill_Info WHERE Bill_Kind = '行政收费' AND Bill_Begin_Int >= 40.000000 "
        "AND Bill_Begin_Int <= 260.000000");
    row("dates between date literals", "",
        "SELECT DISTINCT Bill_Issue_No AS 单号, Bill_Issue_Time AS 时间 FROM Bill_Info WHERE (Bill_Issue_No IS NOT "
        "NULL) AND (Bill_Issue_Time BETWEEN #2026-2-1 0:0:0# AND #2026-2-28 23:59:59#) ORDER BY Bill_Issue_No ASC");
    row("a date compared as typed without zeros", "",
        "SELECT Bill_Begin_Char FROM Bill_Info WHERE Bill_Return_Time < '2026-3-1 17:0:0' ORDER BY Bill_Begin_Char");
    row("flags as -1 and 0", "", "SELECT Bill_Manager_Name, Bill_Manager_Cur FROM Bill_Manager_Info WHERE "
                                 "Bill_Manager_Cur = TRUE");
    row("current manager first", "",
        "SELECT Bill_Manager_Name FROM Bill_Manager_Info ORDER BY Bill_Manager_Cur ASC, Bill_Manager_Name");
    row("case in the select list, file hint left out", "",
        " SELECT CASE WHEN (Bill_Flag = '回收') THEN 0 WHEN (Bill_Flag = '运作') THEN 1 ELSE 2 END, Bill_Kind, "
        "Bill_Unit_Return_Total FROM Bill_Info NOT INDEXED WHERE (Bill_Flag <> '库存') ORDER BY 1, 2");
    row("recipients of departments joined", "",
        " SELECT Bill_Dept_Name,Bill_Broker_Name \t\t\t\t\tFROM Bill_Dept_Info AS a,Bill_Broker_Info AS b "
        "\t\t\t\t\tWHERE a.Bill_Dept_ID = b.Bill_Broker_Dept \t\t\t\t\tORDER BY b.Bill_Broker_Name ASC ");
    row("counts grouped by two columns", "",
        " SELECT Bill_Issue_Dept,COUNT(*) AS 本数,Bill_Kind FROM Bill_Info WHERE (Bill_Issue_Time BETWEEN "
        "#2026-1-1# AND #2026-12-31#) AND ( Bill_Flag = '运作') GROUP BY Bill_Issue_Dept,Bill_Kind ORDER BY "
        "Bill_Issue_Dept,Bill_Kind");
    row("update with a date and a number", "UPDATE Bill_Info SET Bill_Invalid_Time = '2026-4-1 8:0:0', "
        "Bill_Invalid_Manager = '王五', Bill_Flag = '作废' WHERE Bill_Kind = 'ABC票据' AND Bill_Begin_Char = '00000051x'",
        "SELECT Bill_Flag, Bill_Invalid_Time, Bill_Invalid_Manager FROM Bill_Info WHERE Bill_Flag = '作废'");
    row("rows copied with select star", "INSERT INTO Bill_Recycle_Info SELECT *,'2026-5-1 8:0:0','王五' FROM Bill_Info "
        "WHERE Bill_Kind = 'zeta'",
        "SELECT * FROM Bill_Recycle_Info");
    row("delete with a star", " DELETE * \t\t\t\t\tFROM Bill_Dept_Info \t\t\t\t\tWHERE Bill_Dept_Name = 'BETA部' ",
        "SELECT Bill_Dept_Name FROM Bill_Dept_Info ORDER BY Bill_Dept_Name");
    row("set to null", "UPDATE Bill_Info SET Bill_Issue_No = NULL, Bill_Info_Remark = 'x' WHERE Bill_Issue_No = "
        "200000000000001", "SELECT Bill_Begin_Char, Bill_Issue_No, Bill_Info_Remark FROM Bill_Info WHERE "
        "Bill_Info_Remark = 'X' ORDER BY Bill_Begin_Char");
    row("insert from a select", " INSERT INTO Bill_Broker_Info \t\t\t\t\t(Bill_Broker_Name,Bill_Broker_Dept) "
        "\t\t\t\t\tSELECT '钱七',Bill_Dept_ID \t\t\t\t\tFROM Bill_Dept_Info \t\t\t\t\tWHERE Bill_Dept_Name = '7号窗口' ",
        "SELECT * FROM Bill_Broker_Info ORDER BY Bill_Broker_Name");
    row("counter of a new row", "INSERT INTO Bill_Main_Kind_Info (Bill_Main_Kind_Name) VALUES ('新主类型')",
        "SELECT * FROM Bill_Main_Kind_Info ORDER BY Bill_Main_Kind_ID");
}

void TwoStoresTest::everyStatementFormGivesTheSameRowsOnBothStores() {
    QFETCH(QString, change);
    QFETCH(QString, query);
    BothStores stores;
    if (!change.isEmpty()) {
        TheDatabase().ExecuteStatement(change);
        stores.server.ExecuteStatement(change);
        QCOMPARE(stores.server.ChangedRows(), TheDatabase().ChangedRows());
    }
    const QStringList onFile = Rows(TheDatabase(), query);
    QVERIFY2(onFile.size() > 1, "the query finds rows");
    QCOMPARE(Rows(stores.server, query), onFile);
}

void TwoStoresTest::migrationRoundTripKeepsEveryRow() {
    BothStores stores;
    const QVector<TableTally> original = TallyStore(TheDatabase());
    QCOMPARE(TallyStore(stores.server), original);
    CDatabase back;
    QString error;
    const QString path = stores.dir.filePath(QStringLiteral("back.dat"));
    QVERIFY2(back.Open(path, &error, true), qPrintable(error));
    CopyStore(stores.server, back);
    back.Close();
    // The copy opens with every check of the file and holds every row, the report tables included.
    QVERIFY2(back.Open(path, &error), qPrintable(error));
    QCOMPARE(TallyStore(back), original);
    const QString runs = QStringLiteral("SELECT * FROM Bill_Info ORDER BY Bill_ID");
    QCOMPARE(Rows(back, runs), Rows(TheDatabase(), runs));
    // Counters go on after the copied keys on the server.
    stores.server.ExecuteStatement(QStringLiteral("INSERT INTO Bill_Dept_Info (Bill_Dept_Name) VALUES ('新部门')"));
    TheDatabase().ExecuteStatement(QStringLiteral("INSERT INTO Bill_Dept_Info (Bill_Dept_Name) VALUES ('新部门')"));
    const QString depts = QStringLiteral("SELECT * FROM Bill_Dept_Info ORDER BY Bill_Dept_ID");
    QCOMPARE(Rows(stores.server, depts), Rows(TheDatabase(), depts));
}

void TwoStoresTest::migrationIntoAStoreWithRowsIsRefused() {
    BothStores stores;
    // The server database holds the copy now: a second copy into it changes nothing.
    const QVector<TableTally> before = TallyStore(stores.server);
    try {
        CopyStore(TheDatabase(), stores.server);
        QFAIL("a store with rows was written to");
    } catch (const CDbError &e) {
        QVERIFY2(e.Message().contains(QStringLiteral("目标数据库不是空的")), qPrintable(e.Message()));
    }
    QCOMPARE(stores.server.TransactionDepth(), 0);
    QCOMPARE(TallyStore(stores.server), before);
}

void TwoStoresTest::migrateCommandCopiesAndShowsProgress() {
    QTemporaryDir dir;
    ServerDatabase empty{true};
    const QString migrate = BuiltResourceFile(QStringLiteral("schema/pelorvanide-migrate"));
    QProcess toServer;
    toServer.start(migrate, {DeliveredDatabasePath(), empty.Url()});
    QVERIFY(toServer.waitForFinished(60000));
    const QString progress = QString::fromUtf8(toServer.readAllStandardError());
    QCOMPARE(toServer.exitCode(), 0);
    QVERIFY2(progress.contains(QStringLiteral("100%")) && progress.contains(QStringLiteral("[####")), qPrintable(progress));
    const QString file = dir.filePath(QStringLiteral("copy.dat"));
    QProcess toFile;
    toFile.start(migrate, {empty.Url(), file});
    QVERIFY(toFile.waitForFinished(60000));
    QCOMPARE(toFile.exitCode(), 0);
    CDatabase delivered;
    CDatabase copy;
    const QString deliveredCopy = dir.filePath(QStringLiteral("delivered.dat"));
    QFile::copy(DeliveredDatabasePath(), deliveredCopy);
    QVERIFY(delivered.Open(deliveredCopy));
    QVERIFY(copy.Open(file));
    QCOMPARE(TallyStore(copy), TallyStore(delivered));
    // Into the same server again: refused, with the reason.
    QProcess again;
    again.start(migrate, {DeliveredDatabasePath(), empty.Url()});
    QVERIFY(again.waitForFinished(60000));
    QCOMPARE(again.exitCode(), 1);
    QVERIFY(QString::fromUtf8(again.readAllStandardError()).contains(QStringLiteral("目标数据库不是空的")));
}

void TwoStoresTest::unusableServerStopsTheStartWithItsMessage_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nobody listens") << QStringLiteral("postgresql://clerk@127.0.0.1:9/bills")
                                    << QStringLiteral("无法连接数据库服务器127.0.0.1");
    QTest::newRow("unknown database") << TestServerUrl(QStringLiteral("no_such_books"))
                                      << QStringLiteral("\"no_such_books\" does not exist");
    QTest::newRow("unknown login") << QStringLiteral("postgresql://no_such_clerk@%1:%2/postgres")
                                          .arg(qEnvironmentVariable("PGHOST"), qEnvironmentVariable("PGPORT"))
                                   << QStringLiteral("no_such_clerk");
}

void TwoStoresTest::unusableServerStopsTheStartWithItsMessage() {
    QFETCH(QString, url);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        QSettings settings(SettingsFileName, QSettings::IniFormat);
        settings.setValue(QStringLiteral("server/url"), url);
    }
    MessageCapture messages;
    // No password is typed: the login stays refused.
    const auto asker = CBillApp::SetPasswordAsker([](const QString &, QString &) { return false; });
    const bool opened = CBillApp::OpenDataFile();
    CBillApp::SetPasswordAsker(asker);
    QDir::setCurrent(previous);
    QVERIFY(!opened);
    QVERIFY(!TheDatabase().IsOpen());
    QCOMPARE(messages.Count(), 1);
    QVERIFY2(messages.Last().text.contains(expected), qPrintable(messages.Last().text));
    QCOMPARE(messages.Last().icon, MsgIcon::Stop);
    // Nothing of a data file was made where the program stood.
    QVERIFY(!QFile::exists(dir.filePath(CDatabase::DataFileName())));
}

void TwoStoresTest::serverWithAMissingTableIsRefusedNamingIt() {
    ServerDatabase server;
    {
        CDatabase db;
        QVERIFY(db.OpenServer(ParseServerUrl(server.Url()), QString()));
        QVERIFY(db.StoreLabel().startsWith(QStringLiteral("服务器：")));
        db.ExecuteStatement(QStringLiteral("DROP TABLE Bill_I_Info"));
    }
    CDatabase db;
    QString error;
    QVERIFY(!db.OpenServer(ParseServerUrl(server.Url()), QString(), &error));
    QVERIFY2(error.contains(server.Name()) && error.contains(QStringLiteral("Bill_I_Info")), qPrintable(error));
}

void TwoStoresTest::olderServerIsUpgradedKeepingItsRows() {
    ServerDatabase server;
    const int older = CurrentSchemaVersion - 1;
    {
        // The delivered database as the version before held it, with a department of the unit's.
        CDatabase db;
        QVERIFY(db.OpenServer(ParseServerUrl(server.Url()), QString()));
        for (const TableDef &table : Tables()) {
            if (table.since > older) {
                db.ExecuteStatement(QStringLiteral("DROP TABLE %1").arg(QLatin1String(table.name)));
                continue;
            }
            for (const ColumnDef &c : table.columns)
                if (c.since > older)
                    db.ExecuteStatement(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                                            .arg(QLatin1String(table.name), QLatin1String(c.name)));
        }
        db.ExecuteStatement(QStringLiteral("INSERT INTO Bill_Dept_Info (Bill_Dept_Name) VALUES ('财务科')"));
        db.SetSchemaVersion(older);
    }
    CDatabase db;
    QString error;
    QVERIFY2(db.OpenServer(ParseServerUrl(server.Url()), QString(), &error), qPrintable(error));
    QCOMPARE(db.SchemaVersion(), CurrentSchemaVersion);
    QString problem;
    QVERIFY2(HasEveryTableAndColumn(db, CurrentSchemaVersion, &problem), qPrintable(problem));
    // The rows stay, and new rows get keys past the old ones.
    db.ExecuteStatement(QStringLiteral("INSERT INTO Bill_Dept_Info (Bill_Dept_Name) VALUES ('办公室')"));
    QCOMPARE(Rows(db, "SELECT Bill_Dept_ID, Bill_Dept_Name FROM Bill_Dept_Info ORDER BY Bill_Dept_ID"),
             QStringList({"Bill_Dept_ID|Bill_Dept_Name", "1|财务科", "2|办公室"}));
    // The log of the new version works on the upgraded tables.
    db.ExecuteStatement(QStringLiteral("INSERT INTO Bill_Log_Info (Bill_Log_No, Bill_Log_Hash) VALUES (1, 'x')"));
    QCOMPARE(Rows(db, "SELECT Bill_Log_ID FROM Bill_Log_Info"), QStringList({"Bill_Log_ID", "1"}));
}

QTEST_MAIN(TwoStoresTest)
#include "tst_twostores.moc"
