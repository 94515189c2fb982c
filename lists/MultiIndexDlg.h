#pragma once
#include <QDialog>
#include <QList>
#include <QStringList>

class CQueryListCtrl;
class QCheckBox;
class QComboBox;
class QPushButton;

// "多重索引": sorts a list by up to four of its columns through the store. "索引" sorts and the dialog
// stays open for another order; "降序索引" sorts every chosen column descending.
class CMultiIndexDlg : public QDialog {
    Q_OBJECT
public:
    CMultiIndexDlg(CQueryListCtrl &list, QWidget *parent = nullptr);

    void OnIndex();
    // The chosen titles, first level first, empty levels left out.
    QStringList ChosenTitles() const;

    // Level 1 to 4.
    QComboBox *LevelBox(int level) const { return m_levels.value(level - 1); }
    QCheckBox *DescendingBox() const { return m_descending; }
    QPushButton *IndexButton() const { return m_index; }
    QPushButton *CloseButton() const { return m_close; }

private:
    CQueryListCtrl &m_list;
    QList<QComboBox *> m_levels;
    QCheckBox *m_descending;
    QPushButton *m_index;
    QPushButton *m_close;
};
