// Takes the pictures of the program's windows for the help document and for review: run on a real
// display (scripts/screenshots.sh starts it under Xvfb), it shows each window with the program's
// look over sample data and grabs it from the screen, shaped as the user sees it.
#include "app/AppStyle.h"
#include "app/BillApp.h"
#include "app/LoginDlg.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/SkinStyle.h"
#include "mainwindow/SplashDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFontDatabase>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdio>

namespace {

QDir g_out;

void Settle(int ms = 400) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Grabs the screen around the rectangle, so that a shaped window shows its outline.
void Grab(const QRect &area, const QString &name) {
    const QRect box = area.adjusted(-12, -12, 12, 12).intersected(QGuiApplication::primaryScreen()->geometry());
    const QPixmap picture =
        QGuiApplication::primaryScreen()->grabWindow(0, box.x(), box.y(), box.width(), box.height());
    const QString path = g_out.filePath(name + QStringLiteral(".png"));
    std::printf("%s %s\n", picture.save(path) ? "wrote" : "FAILED", qPrintable(path));
}

// Runs the command; once its dialog is up it is grabbed over the main window and closed.
bool GrabCommandDialog(CMainDlg &window, int command, const QString &name) {
    if (!window.HasCommandHandler(command)) {
        std::printf("skipped %s: the command has no dialog yet\n", qPrintable(name));
        return false;
    }
    bool grabbed = false;
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == &window || grabbed)
            return;
        grabbed = true;
        Settle(500);
        Grab(window.frameGeometry().united(modal->frameGeometry()), name);
        modal->close();
    });
    poll.start();
    window.RunCommand(command);
    return grabbed;
}

const KindSpec Admin{QStringLiteral("行政事业性收费票据"),
                     QStringLiteral("行政事业性收费"),
                     QStringLiteral("XZ"),
                     QString(),
                     8,
                     50,
                     1.0,
                     false};
const KindSpec Fund{QStringLiteral("政府性基金票据"),
                    QStringLiteral("政府性基金"),
                    QStringLiteral("JJ"),
                    QString(),
                    8,
                    100,
                    2.5,
                    false};

void FillSampleData() {
    AddManager(QStringLiteral("周主任"), true);
    AddManager(QStringLiteral("李会计"));
    AddMaker(QStringLiteral("省财政厅票据监制中心"));
    for (const QString &department : {QStringLiteral("办公室"), QStringLiteral("财务科"), QStringLiteral("征收大厅")})
        AddDepartment(department);
    AddBroker(QStringLiteral("王小明"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("陈芳"), QStringLiteral("财务科"));
    AddBroker(QStringLiteral("刘建国"), QStringLiteral("征收大厅"));
    AddBroker(QStringLiteral("赵丽"), QStringLiteral("办公室"));
    AddKind(Admin);
    AddKind(Fund);
    for (int book = 0; book < 12; ++book)
        AddStockRun(Admin, 1 + book * Admin.unitAmount);
    for (int book = 0; book < 6; ++book)
        AddStockRun(Fund, 1 + book * Fund.unitAmount, 100000000000001.0);
}

// A year of work on the sample books, for the overview: more books taken in, most of them issued
// month after month, many returned with the money collected, one voided, some out for months.
void FillSampleHistory() {
    using namespace schema;
    for (int book = 12; book < 40; ++book)
        AddStockRun(Admin, 1 + book * Admin.unitAmount, 100000000000002.0);
    for (int book = 6; book < 16; ++book)
        AddStockRun(Fund, 1 + book * Fund.unitAmount, 100000000000003.0);
    const QDateTime now = QDateTime::currentDateTime();
    const QStringList recipients = {QStringLiteral("王小明"), QStringLiteral("陈芳"), QStringLiteral("刘建国"),
                                    QStringLiteral("赵丽")};
    const QStringList departments = {QStringLiteral("财务科"), QStringLiteral("财务科"), QStringLiteral("征收大厅"),
                                     QStringLiteral("办公室")};
    const auto stamp = [](const QDateTime &time) { return time.toString(QStringLiteral("yyyy-M-d H:m:s")); };
    const auto move = [&](const KindSpec &kind, int book, int daysAgo, int returnedAfter, double share) {
        const int who = book % recipients.size();
        const QDateTime issued = now.addDays(-daysAgo);
        const bool returned = returnedAfter > 0 && issued.addDays(returnedAfter) < now;
        QString set =
            QString::asprintf("%s = '%s', %s = '%s', %s = '%s', %s = '%s', %s = '周主任'", Bill_Flag,
                              returned ? FlagReturned : FlagIssued, Bill_Issue_Time, qUtf8Printable(stamp(issued)),
                              Bill_Issue_Dept, qUtf8Printable(departments.at(who)), Bill_Issue_Broker,
                              qUtf8Printable(recipients.at(who)), Bill_Issue_Manager);
        if (returned)
            set += QString::asprintf(", %s = '%s', %s = %s * %f, %s = %s * %f", Bill_Return_Time,
                                     qUtf8Printable(stamp(issued.addDays(returnedAfter))), Bill_Unit_Return_Total,
                                     Bill_Unit_Total, share, Bill_Unit_Return_Amount, Bill_Unit_Amount, share);
        TheDatabase().ExecuteStatement(QString::asprintf("UPDATE %s SET %s WHERE %s = '%s' AND %s = %d", Bill_Info,
                                                         qUtf8Printable(set), Bill_Kind, qUtf8Printable(kind.name),
                                                         Bill_Begin_Int, 1 + book * kind.unitAmount));
    };
    for (int book = 12; book < 40; ++book)
        move(Admin, book, 350 - (book - 12) * 12, book % 5 == 0 ? 0 : 20 + book % 9, book % 4 == 0 ? 0.8 : 1.0);
    for (int book = 6; book < 14; ++book)
        move(Fund, book, 330 - (book - 6) * 40, book % 3 == 0 ? 0 : 25, 1.0);
    TheDatabase().ExecuteStatement(QString::asprintf(
        "UPDATE %s SET %s = '%s', %s = '%s', %s = '李会计' WHERE %s = '%s' AND %s = %d", Bill_Info, Bill_Flag, FlagVoid,
        Bill_Invalid_Time, qUtf8Printable(stamp(now.addDays(-3))), Bill_Invalid_Manager, Bill_Kind,
        qUtf8Printable(Fund.name), Bill_Begin_Int, 1 + 15 * Fund.unitAmount));
    // The fund's forms run short: fewer books in stock than its limit.
    TheDatabase().ExecuteStatement(QString::asprintf("UPDATE %s SET %s = 10 WHERE %s = '%s'", Bill_Kind_Info,
                                                     Bill_Kind_Stock_Limit, Bill_Kind_Name, qUtf8Printable(Fund.name)));
}

QTreeWidgetItem *TopItem(CMainDlg &window, const QString &text) {
    const QList<QTreeWidgetItem *> found = window.Tree()->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder for the pictures>\n", argv[0]);
        return 2;
    }
    g_out.mkpath(QString::fromLocal8Bit(argv[1]));
    g_out.setPath(QString::fromLocal8Bit(argv[1]));
    if (QFontDatabase::hasFamily(QStringLiteral("WenQuanYi Micro Hei"))) {
        QFont font = QApplication::font();
        font.setFamily(QStringLiteral("WenQuanYi Micro Hei"));
        QApplication::setFont(font);
    }
    InstallSkinLook(ApplicationStyleSheet());
    InstallWidgetMessagePresenter();
    TestDatabase database;
    FillSampleData();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    {
        CSplashDlg splash;
        splash.show();
        Settle();
        Grab(splash.frameGeometry(), QStringLiteral("splash"));
    }
    {
        CLoginDlg login;
        login.move(screen.center() - login.rect().center());
        login.show();
        Settle();
        Grab(login.frameGeometry(), QStringLiteral("login"));
    }

    CMainDlg window;
    window.SetLoginRunner([](QWidget *, QString &user) {
        user = QStringLiteral("管理员");
        return int(CLoginDlg::LoginSucceeded);
    });
    if (!window.Initialise())
        return 1;
    window.move(screen.center() - window.rect().center());
    window.show();
    window.RunCommand(cmd::RepositoryView);
    window.OnTreeDoubleClick(TopItem(window, Admin.name));
    Settle();
    Grab(window.frameGeometry(), QStringLiteral("main-normal"));

    // Another desk adds a department: the window says so until the views are read again.
    {
        CDatabase otherDesk;
        if (database.OpenAnotherDesk(otherDesk))
            otherDesk.ExecuteStatement(QStringLiteral("INSERT INTO Bill_Dept_Info (Bill_Dept_Name) VALUES ('后勤科')"));
    }
    Settle(600);
    Grab(window.frameGeometry(), QStringLiteral("main-stale"));
    window.RunCommand(cmd::Refresh);

    QMenu *menu = window.BarMenu(1);
    window.UpdateMenuState(1);
    QToolButton *bar = window.BarButton(1);
    menu->popup(bar->mapToGlobal(QPoint(0, bar->height())));
    Settle();
    Grab(window.frameGeometry(), QStringLiteral("main-menu"));
    menu->hide();

    window.ApplyMaximisedLayout();
    Settle();
    Grab(window.frameGeometry(), QStringLiteral("main-maximised"));
    window.ApplyNormalLayout();
    Settle();

    GrabCommandDialog(window, cmd::StockIn, QStringLiteral("stockin"));
    window.MainList()->SelectRow(0);
    window.MainList()->SelectRow(1, true);
    GrabCommandDialog(window, cmd::Issue, QStringLiteral("issue"));
    window.RunCommand(cmd::DepartmentView);
    Settle(200);
    GrabCommandDialog(window, cmd::Return, QStringLiteral("return"));
    GrabCommandDialog(window, cmd::Report, QStringLiteral("report"));
    GrabCommandDialog(window, cmd::About, QStringLiteral("about"));
    GrabCommandDialog(window, cmd::Kind, QStringLiteral("kinds"));

    FillSampleHistory();
    window.RunCommand(cmd::Overview);
    Settle();
    Grab(window.frameGeometry(), QStringLiteral("overview"));
    window.ApplyMaximisedLayout();
    Settle();
    Grab(window.frameGeometry(), QStringLiteral("overview-maximised"));
    window.ApplyNormalLayout();
    Settle();
    GrabCommandDialog(window, cmd::OperationLog, QStringLiteral("log"));
    GrabCommandDialog(window, cmd::BookAudit, QStringLiteral("audit"));
    return 0;
}
