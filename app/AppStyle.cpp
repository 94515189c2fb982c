#include "app/AppStyle.h"

namespace {

// List headers and pop-up menus are drawn by the skin style and have no rules here.
const char *StyleSheet = R"(
QDialog { background: #eef3f8; border: 1px solid #8aa0b8; }
QLabel { color: #24313f; }
QDialog QLabel#aboutTitle { color: #173d63; font-size: 17px; font-weight: bold; }

CMainDlg { background: #e9eef4; }
#headerBand { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #173d63, stop:1 #2a6fae); }
#headerBand QLabel { color: white; }
#appTitle { font-size: 17px; font-weight: bold; }
#userLabel { color: #cfe2f5; font-size: 13px; }
#staleLabel { color: #173d63; background: #ffe8a3; border-radius: 9px; padding: 1px 9px; font-size: 12px; }
#panel { background: white; border: 1px solid #c4cfdc; border-radius: 6px; }
#panelCaption, #static1055 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f8fafc, stop:1 #e8edf3);
    border: none; border-bottom: 1px solid #d5dde7; border-top-left-radius: 6px; border-top-right-radius: 6px; }
#panelFooter { background: #f4f7fa; border: none; border-top: 1px solid #dde3ea;
    border-bottom-left-radius: 6px; border-bottom-right-radius: 6px; }
#panelTitle { color: #1d3b5a; font-size: 14px; font-weight: bold; }
#listCaption { color: #4a5a6b; font-size: 13px; }
#findBox { border: 1px solid #cbd4df; border-radius: 4px; padding: 4px 6px; background: white; font-size: 13px; }
#findBox:focus { border: 1px solid #2e75b6; }
QTreeWidget#tree1004 { border: none; }
CQueryListCtrl#list1011 { border: none; }
COverviewView#overview { background: white; }
#overviewFigures { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f8fafc, stop:1 #eaf1f8);
    border: 1px solid #d5dde7; border-radius: 6px; }
#figureCaption { color: #4a5a6b; font-size: 12px; }
QLabel[figure="true"] { color: #173d63; font-size: 18px; font-weight: bold; }

QPushButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfeff, stop:1 #e6ecf3);
    color: #1f2b38; border: 1px solid #b9c6d5; border-radius: 4px; padding: 4px 12px; }
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f2f8ff, stop:1 #d6e7f9);
    border-color: #2e75b6; }
QPushButton:pressed { background: #cfe2f4; }
QPushButton:default { border: 1px solid #2e75b6; }
QPushButton:disabled { color: #a2abb6; background: #f0f2f5; border-color: #dde2e8; }
QLineEdit, QComboBox, QDateEdit, QTimeEdit, QDateTimeEdit, QTextEdit, QPlainTextEdit {
    background: white; color: #1f2b38; border: 1px solid #bfcbd8; border-radius: 3px; padding: 3px 5px;
    selection-background-color: #2e75b6; }
QLineEdit:focus, QComboBox:focus, QDateEdit:focus, QTimeEdit:focus, QDateTimeEdit:focus, QTextEdit:focus,
QPlainTextEdit:focus { border: 1px solid #2e75b6; }
CLoginDlg QComboBox, CLoginDlg QLineEdit { border-radius: 5px; padding: 3px 8px; font-size: 14px; color: #26323f; }
QLineEdit:disabled, QComboBox:disabled { background: #f3f5f8; color: #8a96a3; }
QLineEdit[readOnly="true"] { background: #f5f7fa; }
QComboBox::drop-down { border: none; width: 18px; }
QGroupBox { border: 1px solid #c9d3de; border-radius: 5px; margin-top: 12px; padding-top: 6px; }
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #1d3b5a; font-weight: bold; }
QTableView, QTreeView, QListView { border: 1px solid #c4cfdc; selection-background-color: #cfe3f7;
    selection-color: #0f2740; gridline-color: #d9e0e8; }
QTreeView::item { padding: 2px; }
QCheckBox, QRadioButton { color: #24313f; }
QToolTip { background: #fffbe6; color: #24313f; border: 1px solid #d8c98a; }
)";

} // namespace

QString ApplicationStyleSheet() {
    return QString::fromUtf8(StyleSheet);
}
