#include "bills/StockInDlg.h"

#include "app/BusyWindow.h"
#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "bills/StockDialogParts.h"
#include "masterdata/Managers.h"
#include "schema/Schema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>

using namespace schema;

namespace {

// The prefix and suffix fields take at most this many characters.
constexpr int kAffixLimit = 9;
constexpr int kMaxBooks = 999;

} // namespace

CStockInDlg::CStockInDlg(QWidget *parent)
    : QDialog(parent), m_kinds(new QComboBox(this)), m_mainKind(ReadOnlyField(this, "mainKind")),
      m_unitPrice(ReadOnlyField(this, "unitPrice")), m_unitAmount(ReadOnlyField(this, "unitAmount")),
      m_bookTotal(ReadOnlyField(this, "bookTotal")), m_length(ReadOnlyField(this, "length")),
      m_beginPrefix(ReadOnlyField(this, "beginPrefix")), m_beginDigits(new QLineEdit(this)),
      m_beginSuffix(ReadOnlyField(this, "beginSuffix")), m_endPrefix(ReadOnlyField(this, "endPrefix")),
      m_endDigits(new QLineEdit(this)), m_endSuffix(ReadOnlyField(this, "endSuffix")), m_books(new CCountBox(this)),
      m_documentNo(ReadOnlyField(this, "documentNo")), m_stockTime(DateTimePicker(this, "stockTime")),
      m_managers(new QComboBox(this)), m_madeTime(DateTimePicker(this, "madeTime")), m_makers(new QComboBox(this)),
      m_continuous(new QCheckBox(QStringLiteral("连续增加"), this)),
      m_confirm(new QPushButton(QStringLiteral("确定"), this)),
      m_cancel(new QPushButton(QStringLiteral("取消"), this)) {
    setWindowTitle(QStringLiteral("票据入库"));
    OrderTabsByPosition(this);
    m_kinds->setObjectName(QStringLiteral("kind"));
    m_managers->setObjectName(QStringLiteral("manager"));
    m_makers->setObjectName(QStringLiteral("maker"));
    m_beginDigits->setObjectName(QStringLiteral("beginDigits"));
    m_beginDigits->setMaxLength(15);
    m_endDigits->setObjectName(QStringLiteral("endDigits"));
    m_endDigits->setEnabled(false);
    m_books->setObjectName(QStringLiteral("books"));
    m_continuous->setObjectName(QStringLiteral("continuous"));
    m_confirm->setObjectName(QStringLiteral("confirm"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    BuildLayout();
    SwallowEnterKey(this);

    connect(m_kinds, &QComboBox::currentIndexChanged, this, &CStockInDlg::OnKindChanged);
    connect(m_books, &QSpinBox::textChanged, this, &CStockInDlg::OnBooksChanged);
    connect(m_beginDigits, &QLineEdit::textEdited, this, &CStockInDlg::OnBeginChanged);
    connect(m_confirm, &QPushButton::clicked, this, &CStockInDlg::OnConfirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    OnInitDialog();
}

void CStockInDlg::BuildLayout() {
    auto *grid = new QGridLayout;
    auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), this); };
    grid->addWidget(label("票据类型："), 0, 0);
    grid->addWidget(m_kinds, 0, 1);
    grid->addWidget(label("票据主类型："), 0, 2);
    grid->addWidget(m_mainKind, 0, 3);
    grid->addWidget(label("（元/张）票据单位价格"), 1, 0);
    grid->addWidget(m_unitPrice, 1, 1);
    grid->addWidget(label("（张/本）每本票据张数"), 1, 2);
    grid->addWidget(m_unitAmount, 1, 3);
    grid->addWidget(label("（元/本）每本票据总金额"), 2, 0);
    grid->addWidget(m_bookTotal, 2, 1);
    grid->addWidget(label("编号长度 （数字部分）"), 2, 2);
    grid->addWidget(m_length, 2, 3);
    grid->addWidget(label("票据开始编号："), 3, 0);
    grid->addLayout(NumberRow(m_beginPrefix, m_beginDigits, m_beginSuffix), 3, 1, 1, 3);
    grid->addWidget(label("票据结尾编号："), 4, 0);
    grid->addLayout(NumberRow(m_endPrefix, m_endDigits, m_endSuffix), 4, 1, 1, 3);
    auto *books = new QHBoxLayout;
    books->addWidget(m_books, 1);
    books->addWidget(label("(本)"));
    grid->addWidget(label("入库："), 5, 0);
    grid->addLayout(books, 5, 1);
    grid->addWidget(label("入库单："), 5, 2);
    grid->addWidget(m_documentNo, 5, 3);
    // Room for the whole fifteen-digit document number.
    m_documentNo->setMinimumWidth(m_documentNo->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000")) +
                                  12);
    grid->addWidget(label("票据入库时间："), 6, 0);
    grid->addWidget(m_stockTime, 6, 1);
    grid->addWidget(label("票据入库管理员："), 6, 2);
    grid->addWidget(m_managers, 6, 3);
    grid->addWidget(label("票据制作时间："), 7, 0);
    grid->addWidget(m_madeTime, 7, 1);
    grid->addWidget(label("票据制作部门："), 7, 2);
    grid->addWidget(m_makers, 7, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_continuous);
    buttons->addStretch(1);
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_cancel);
    auto *page = new QVBoxLayout(this);
    page->addLayout(grid);
    page->addLayout(buttons);
}

void CStockInDlg::OnInitDialog() {
    FillNames(m_kinds, [] { return ReadNames(Bill_Kind_Info, Bill_Kind_Name, Bill_Kind_Name); });
    FillNames(m_managers, [] { return ManagerNamesCurrentFirst(); });
    FillNames(m_makers, [] { return MakingDepartmentNames(); });
    m_books->setRange(0, kMaxBooks);
    if (m_kinds->currentIndex() >= 0)
        OnKindChanged();
}

void CStockInDlg::OnKindChanged() {
    try {
        ReadKind(m_kinds->currentText(), m_kind);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    double documentNo = 0;
    if (NextDocumentNumber(Bill_Repository_No, documentNo))
        m_documentNo->setText(FormatDocumentNumber(documentNo));
    m_mainKind->setText(m_kind.mainKind);
    m_unitPrice->setText(QString::number(m_kind.unitPrice, 'f', 2));
    m_unitAmount->setText(QString::number(m_kind.unitAmount));
    m_bookTotal->setText(QString::number(m_kind.bookTotal, 'f', 2));
    m_length->setText(QString::number(m_kind.length));
    for (QLineEdit *prefix : {m_beginPrefix, m_endPrefix})
        prefix->setText(m_kind.prefix);
    for (QLineEdit *suffix : {m_beginSuffix, m_endSuffix})
        suffix->setText(m_kind.suffix);
}

bool CStockInDlg::TakeValues() {
    for (QLineEdit *field : {m_beginPrefix, m_beginSuffix, m_endPrefix, m_endSuffix}) {
        if (field->text().size() > kAffixLimit) {
            ShowMessage(QStringLiteral("请输入不超过 %1 个字符。").arg(kAffixLimit), ApplicationTitle(),
                        MsgIcon::Exclamation);
            return false;
        }
    }
    return true;
}

void CStockInDlg::OnBooksChanged() {
    if (m_books->value() > 0 && TakeValues())
        ShowEnd(true);
}

void CStockInDlg::OnBeginChanged() {
    if (m_books->value() > 0 && IsDigitText(m_beginDigits->text()))
        ShowEnd(false);
}

void CStockInDlg::ShowEnd(bool reportFormat) {
    const QString begin = m_beginDigits->text();
    if (begin.isEmpty())
        return;
    if (!IsDigitText(begin)) {
        if (reportFormat) {
            ShowMessage(QStringLiteral("请不要在票据编号中插入字符。"), QStringLiteral("格式错误"),
                        MsgIcon::Exclamation);
            m_beginDigits->setFocus();
            m_beginDigits->selectAll();
        }
        return;
    }
    const double end = begin.toDouble() + double(m_books->value()) * m_kind.unitAmount - 1;
    m_endDigits->setText(FormatBillDigits(end, int(begin.size())));
}

StockInEntry CStockInDlg::Entry() const {
    StockInEntry e;
    e.kind = m_kind;
    e.kind.name = m_kinds->currentText();
    e.prefix = m_beginPrefix->text();
    e.suffix = m_beginSuffix->text();
    e.width = int(m_beginDigits->text().size());
    e.begin = m_beginDigits->text().toDouble();
    e.books = m_books->value();
    e.stockTime = FormatDateTime(m_stockTime->dateTime());
    e.madeTime = FormatDateTime(m_madeTime->dateTime());
    e.manager = m_managers->currentText();
    e.madeUnits = m_makers->currentText();
    e.documentNo = m_documentNo->text().toDouble();
    e.continuing = m_documentWritten;
    return e;
}

void CStockInDlg::OnConfirm() {
    if (!TakeValues())
        return;
    const QString begin = m_beginDigits->text();
    const int books = m_books->value();
    if (!IsDigitText(begin) || m_endDigits->text().isEmpty() || books < 1 || books > kMaxBooks ||
        begin.size() != m_kind.length || m_kind.mainKind.isEmpty()) {
        ShowMessage(QStringLiteral("  请正确、完整地录入票据信息!  "), QStringLiteral("录入提示"),
                    MsgIcon::Exclamation);
        ClearEntry();
        return;
    }
    if (begin.toDouble() + double(books) * m_kind.unitAmount > MaxNumberValue(m_kind.length)) {
        ShowMessage(QStringLiteral("   编号超出指定范围!  "), QStringLiteral("范围"), MsgIcon::Exclamation);
        ClearEntry();
        return;
    }
    if (!InsertRuns())
        return;
    if (!m_continuous->isChecked()) {
        accept();
        return;
    }
    ClearEntry();
}

bool CStockInDlg::InsertRuns() {
    const StockInEntry entry = Entry();
    try {
        CBusyWindow busy(this);
        // Many books take a while, above all single bills of non-fixed amount: show how far it is and
        // keep the window painted.
        QProgressDialog progress(QStringLiteral("正在入库..."), QString(), 0, entry.books, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        QElapsedTimer sinceShown;
        sinceShown.start();
        const StockInOutcome outcome = InsertStockRuns(entry, [&](int done, int total) {
            if (done < total && sinceShown.elapsed() < 100)
                return;
            progress.setValue(done);
            QCoreApplication::processEvents();
            sinceShown.restart();
        });
        if (outcome.overlap) {
            // Checked while no other desk may stock in the kind, so what another desk stocked in a
            // moment ago counts too.
            progress.reset();
            ShowMessage(OverlapMessage(m_kind.length, outcome.shared), QStringLiteral("编号重复"),
                        MsgIcon::Exclamation);
            ClearEntry();
            return false;
        }
        // Another desk may have written a document under the number shown meanwhile: this one's is shown.
        m_documentNo->setText(FormatDocumentNumber(outcome.documentNo));
        m_documentWritten = true;
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
    return true;
}

void CStockInDlg::ClearEntry() {
    m_endDigits->clear();
    {
        const QSignalBlocker quiet(m_books);
        m_books->setValue(0);
    }
    m_beginDigits->clear();
    m_beginDigits->setFocus();
}
