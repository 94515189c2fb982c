#include "mainwindow/MainCommands.h"

using namespace cmd;

namespace {
constexpr int AnyView = -1;
constexpr int NoView = -1;
constexpr int DepartmentMode = 0;
constexpr int RepositoryMode = 1;
constexpr int OverviewMode = 2;
} // namespace

const QList<MainCommand> &MainCommands() {
    static const QList<MainCommand> commands = {
        {StockIn, "票据入库(&I)   ", "票据入库", AnyView, false, NoView, 0},
        {Issue, "票据发放(&O)", "票据发放", RepositoryMode, false, NoView, 0},
        {Return, "票据回收(&R)", "票据回收", DepartmentMode, false, NoView, 0},
        {Report, "票据报表(&P)", "票据报表", AnyView, false, NoView, 0},
        {Print, "打印", nullptr, AnyView, false, NoView, 0},
        {Login, "用户登录", nullptr, AnyView, false, NoView, 0},
        {Rights, "权限管理", "权限设置", AnyView, false, NoView, 0},
        {Export, "导出", nullptr, AnyView, false, NoView, 0},
        {Exit, "退出(&X)", nullptr, AnyView, false, NoView, 0},
        {Index, "票据索引(&S)   ", nullptr, AnyView, false, NoView, 0},
        {Search, "票据搜索(&F)", nullptr, AnyView, false, NoView, 0},
        {Extract, "票据粹取(&R)", nullptr, AnyView, true, NoView, 0},
        {Delete, "票据删除(&D)", "票据删除", AnyView, true, NoView, 0},
        {Void, "票据作废(&I)", "票据作废", AnyView, true, NoView, 0},
        {Forced, "强制操作(&K)", "强制操作", AnyView, false, NoView, 0},
        {Documents, "出入库管理", "出入库管理", AnyView, false, NoView, 0},
        {History, "票据追踪", nullptr, AnyView, false, NoView, 0},
        {OperationLog, "操作日志", "操作日志", AnyView, false, NoView, 0},
        {LogCheck, "日志校验", "日志校验", AnyView, false, NoView, 0},
        {BookAudit, "票据稽核", "票据稽核", AnyView, false, NoView, 0},
        {DepartmentView, "部门视图(&O)", nullptr, AnyView, false, DepartmentMode, 0},
        {RepositoryView, "仓库视图(&R)", nullptr, AnyView, false, RepositoryMode, 0},
        {Overview, "概览(&G)", nullptr, AnyView, false, OverviewMode, 0},
        {Refresh, "刷新(&F)\tF5", nullptr, AnyView, false, NoView, 0},
        {MainKind, "票据主类型(&M)", "票据主类型", AnyView, false, NoView, 0},
        {Kind, "票据类型(&K)", "票据类型", AnyView, false, NoView, 0},
        {Manager, "票据管理员(&E)", "票据管理员", AnyView, false, NoView, 0},
        {Maker, "票据制造部门", "票据制造部门", AnyView, false, NoView, 0},
        {AddDepartment, "增加发放部门(&A)", "增加发放部门", AnyView, false, NoView, 0},
        {AddRecipient, "增加发放人员(&I)", "增加发放人员", AnyView, false, NoView, 0},
        {DeleteDepartment, "删除发放部门(&D)", "删除发放部门", AnyView, false, NoView, 0},
        {DeleteRecipient, "删除发放人员(&O)", "删除发放人员", AnyView, false, NoView, 0},
        {Password, "修改个人密码", "修改个人密码", AnyView, false, NoView, 0},
        {Help, "帮助(&H)          ", nullptr, AnyView, false, NoView, 0},
        {Version, "当前版本(&V)", nullptr, AnyView, false, NoView, 0},
        {About, "关于作者(&A)", nullptr, AnyView, false, NoView, 0},
        {TrayStockIn, "票据入库(&I)", "票据入库", AnyView, false, NoView, StockIn},
        {TrayReport, "票据报表(&R)", "票据报表", AnyView, false, NoView, Report},
        {TrayExit, "退出(&X)", nullptr, AnyView, false, NoView, Exit},
        {TrayHelp, "帮助(&H)", nullptr, AnyView, false, NoView, Help},
        {TrayAbout, "关于作者(&A)", nullptr, AnyView, false, NoView, About},
        {TrayContact, "联系方式(&C)", nullptr, AnyView, false, NoView, 0},
    };
    return commands;
}

const MainCommand *FindMainCommand(int id) {
    for (const MainCommand &command : MainCommands())
        if (command.id == id)
            return &command;
    return nullptr;
}

int HandlerId(int id) {
    const MainCommand *command = FindMainCommand(id);
    return command && command->sameAs ? command->sameAs : id;
}

bool MayChangeTheBooks(int id) {
    static const QList<int> changing = {
        StockIn, Issue,   Return, Delete,        Void,         Forced,           Documents,       MainKind,
        Kind,    Manager, Maker,  AddDepartment, AddRecipient, DeleteDepartment, DeleteRecipient, Rights};
    return changing.contains(HandlerId(id));
}

bool EndsTheSession(int id) {
    const int handler = HandlerId(id);
    return handler == Exit || handler == Login;
}

QList<int> BarMenuItems(int menu) {
    switch (menu) {
    case 1:
        // "退出" stays the last item of its menu; items added later go before it.
        return {StockIn, Issue, Return, 0, Report, Print, Export, 0, Login, Rights, 0, Exit};
    case 2:
        return {Index,   Search, Extract,      0,        Delete,   Void, Forced, Documents,
                History, 0,      OperationLog, LogCheck, BookAudit};
    case 3:
        return {DepartmentView, RepositoryView, Overview, 0, Refresh};
    case 4:
        return {MainKind,        Kind, Manager, Maker, 0, AddDepartment, AddRecipient, DeleteDepartment,
                DeleteRecipient, 0,    Password};
    case 5:
        return {Help, 0, Version, 0, About};
    default:
        return {};
    }
}

QList<int> TrayMenuItems() {
    return {TrayReport, 0, TrayStockIn, 0, TrayHelp, TrayContact, TrayAbout, 0, TrayExit};
}
