// The one order of names: the store's collation PINYIN and the list's own sort are the same strict
// weak order, shown over random mixes of Chinese, ASCII letters in both cases, digits, punctuation
// and blanks.
#include "app/DatabaseCollation.h"
#include "app/Dialect.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace schema;

namespace {

const QString Alphabet = QStringLiteral("票据甲乙张王李收费阿啊中国人abcxyzABCXYZ0123456789-_.,/()#' \t\u3000");

// Names of up to eight characters drawn from the alphabet, the same ones on every run.
QStringList RandomNames(int count, quint32 seed) {
    QRandomGenerator random(seed);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QString name;
        const int length = random.bounded(9);
        for (int k = 0; k < length; ++k)
            name += Alphabet.at(random.bounded(int(Alphabet.size())));
        names << name;
    }
    return names;
}

int Sign(int c) {
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool Less(const QString &a, const QString &b) {
    return ComparePinyin(a, b) < 0;
}

// Every row is not before the one above it.
void ExpectOrdered(const QStringList &texts) {
    for (int i = 1; i < texts.size(); ++i)
        QVERIFY2(!Less(texts.at(i), texts.at(i - 1)),
                 qPrintable(QStringLiteral("«%1» before «%2»").arg(texts.at(i - 1), texts.at(i))));
}

} // namespace

class PinyinOrderTest : public QObject {
    Q_OBJECT
private slots:
    void isAStrictWeakOrderOverRandomMixes();
    void prefixesComeFirst();
    void readsChineseByPinyinAndLatinWithoutCase();
    void storeAndListSortAgree();
};

void PinyinOrderTest::isAStrictWeakOrderOverRandomMixes() {
    for (quint32 seed : {1u, 2u, 3u, 4u}) {
        const QStringList names =
            RandomNames(120, seed) + QStringList{"A-1", "A_1", "A_1票", "a_1", "A 1", "A\u30001", "", "票"};
        const int n = int(names.size());
        std::vector<int> sign(size_t(n) * n);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                sign[size_t(a) * n + b] = Sign(ComparePinyin(names.at(a), names.at(b)));
        const auto at = [&](int a, int b) { return sign[size_t(a) * n + b]; };
        for (int a = 0; a < n; ++a) {
            QCOMPARE(at(a, a), 0);
            for (int b = 0; b < n; ++b)
                QCOMPARE(at(a, b), -at(b, a));
        }
        // Being before is transitive, and so is being tied (neither before the other).
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                for (int c = 0; c < n; ++c) {
                    if (at(a, b) < 0 && at(b, c) < 0 && at(a, c) >= 0)
                        QFAIL(qPrintable(names.at(a) + " | " + names.at(b) + " | " + names.at(c)));
                    if (at(a, b) == 0 && at(b, c) == 0 && at(a, c) != 0)
                        QFAIL(qPrintable(names.at(a) + " | " + names.at(b) + " | " + names.at(c)));
                }
    }
}

void PinyinOrderTest::prefixesComeFirst() {
    const QStringList names = RandomNames(300, 7);
    const QStringList tails = RandomNames(300, 8);
    for (int i = 0; i < names.size(); ++i) {
        const QString tail = tails.at(i).isEmpty() ? QStringLiteral("票") : tails.at(i);
        QVERIFY2(Less(names.at(i), names.at(i) + tail), qPrintable(names.at(i) + " | " + tail));
    }
    QVERIFY(Less(QStringLiteral("A_1"), QStringLiteral("A_1票")));
    QVERIFY(Less(QStringLiteral("A-1"), QStringLiteral("A_1")));
    QVERIFY(Less(QStringLiteral("A-1"), QStringLiteral("A_1票")));
}

void PinyinOrderTest::readsChineseByPinyinAndLatinWithoutCase() {
    QVERIFY(Less(QStringLiteral("阿"), QStringLiteral("张")));
    QVERIFY(Less(QStringLiteral("李四"), QStringLiteral("王五")));
    QVERIFY(Less(QStringLiteral("收费"), QStringLiteral("中国")));
    QCOMPARE(ComparePinyin(QStringLiteral("Finance"), QStringLiteral("FINANCE")), 0);
    QVERIFY(Less(QStringLiteral("apple"), QStringLiteral("Banana")));
    // Latin before Chinese, whatever follows.
    QVERIFY(Less(QStringLiteral("Z票"), QStringLiteral("阿")));
    // Characters beyond the basic plane count as one character each.
    QVERIFY(Less(QStringLiteral("𠀀"), QStringLiteral("𠀀a")));
    QCOMPARE(ComparePinyin(QStringLiteral("𠀀"), QStringLiteral("𠀀")), 0);
}

void PinyinOrderTest::storeAndListSortAgree() {
    TestDatabase t;
    // The lists show names without their outer blanks, so the stored ones have none.
    QStringList names;
    for (const QString &name : RandomNames(2000, 11))
        names << name.trimmed();
    CTransaction transaction;
    for (const QString &name : names)
        t.Exec(QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Bill_Dept_Info, Bill_Dept_Name,
                                 Quote(name).constData()));
    transaction.Commit();
    const QString statement = QString::asprintf("SELECT %s AS 部门名称 FROM %s ORDER BY %s ASC", Bill_Dept_Name,
                                                Bill_Dept_Info, Bill_Dept_Name);
    CQueryListCtrl list;
    list.SetStatement(statement, 3);
    QVERIFY(list.FillFromStatement(statement));
    QCOMPARE(list.RowCount(), names.size());
    QStringList byStore;
    for (int row = 0; row < list.RowCount(); ++row)
        byStore << list.GetItemText(row, 0);
    ExpectOrdered(byStore);

    // The list's own sort, from the reversed rows, gives the same order; ties keep their rows.
    list.SortLocal(0, false);
    QStringList descending;
    for (int row = 0; row < list.RowCount(); ++row)
        descending << list.GetItemText(row, 0);
    std::reverse(descending.begin(), descending.end());
    ExpectOrdered(descending);
    list.SortLocal(0, true);
    QStringList byList;
    for (int row = 0; row < list.RowCount(); ++row)
        byList << list.GetItemText(row, 0);
    ExpectOrdered(byList);
    QStringList expected = byStore;
    std::stable_sort(expected.begin(), expected.end(), Less);
    for (int i = 0; i < byList.size(); ++i)
        QCOMPARE(ComparePinyin(byList.at(i), expected.at(i)), 0);
}

QTEST_MAIN(PinyinOrderTest)
#include "tst_pinyinorder.moc"
