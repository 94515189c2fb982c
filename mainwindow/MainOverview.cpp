// The overview in place of the main list: shown, read afresh after every command, and the rows a
// click in it opens in the department or repository view.
#include "app/BusyWindow.h"
#include "app/Database.h"
#include "lists/QueryListCtrl.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/Overview.h"
#include "mainwindow/OverviewView.h"
#include "mainwindow/ViewStatements.h"
#include "reports/PrintPicture.h"

#include <QTreeWidget>

void CMainDlg::ShowOverview() {
    m_viewMode = OverviewMode;
    m_viewShown = true;
    RefreshOverview();
    RefreshViewIndicators();
}

void CMainDlg::RefreshOverview() {
    CWaitCursor wait;
    ForgetOthersChanges();
    try {
        m_overview->ShowFigures(ReadOverview(QDateTime::currentDateTime()));
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
}

void CMainDlg::ShowListInPlaceOfOverview() {
    if (m_viewMode != OverviewMode)
        return;
    m_viewMode = m_treeMode;
    RefreshViewIndicators();
}

void CMainDlg::OpenKindBooks(const QString &kind, int state) {
    CBusyWindow busy(this);
    QString statement;
    QString detail = kind;
    if (state == COverviewView::InStock) {
        ShowRepositoryViewAgain();
        statement = KindStockStatement(kind);
    } else {
        ShowDepartmentViewAgain();
        const bool out = state == COverviewView::Out;
        statement = out ? KindOutStatement(kind) : KindReturnedStatement(kind);
        detail += out ? QStringLiteral("（运作）") : QStringLiteral("（回收）");
    }
    SetListStatement(statement);
    SetListCaption(detail);
    ChooseTreeItem(kind);
}

void CMainDlg::OpenOverdueBook(const OverdueBook &book) {
    CBusyWindow busy(this);
    ShowDepartmentViewAgain();
    SetListStatement(OutSinceBeforeStatement(QDateTime::currentDateTime().addDays(-OverdueDays)));
    SetListCaption(QStringLiteral("领出超过%1天").arg(OverdueDays));
    const int kindColumn = m_list->ColumnIndexOfTitle(QStringLiteral("票据类型"));
    const int beginColumn = m_list->ColumnIndexOfTitle(QStringLiteral("开始编号"));
    for (int row = 0; row < m_list->RowCount(); ++row) {
        if (m_list->GetItemText(row, kindColumn) == book.kind && m_list->GetItemText(row, beginColumn) == book.begin) {
            m_list->SelectRow(row);
            break;
        }
    }
}

void CMainDlg::PrintOverview() {
    PrintPicture(*m_overview, QStringLiteral("票据概览"), this);
}

void CMainDlg::ExportOverview() {
    ExportPicture(*m_overview, QStringLiteral("票据概览"), this);
}
