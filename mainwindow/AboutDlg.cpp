#include "mainwindow/AboutDlg.h"

#include "mainwindow/ProgramInfo.h"
#include "mainwindow/Shell.h"
#include "resources/Artwork.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于作者"));
    const ProgramInfo info = ReadProgramInfo();

    auto *icon = new QLabel;
    icon->setPixmap(artwork::Picture(artwork::Glyph::Application, 48));
    icon->setAlignment(Qt::AlignTop);
    auto *welcome = new QLabel(QStringLiteral("欢迎使用：Pelorvanide"));
    welcome->setObjectName(QStringLiteral("aboutTitle"));
    auto *author = new QLabel(info.author);
    auto *emailLabel = new QLabel(QStringLiteral("E_MAIL："));
    m_email = new QLabel(info.email);
    m_email->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *texts = new QGridLayout;
    texts->setHorizontalSpacing(8);
    texts->setVerticalSpacing(10);
    texts->addWidget(welcome, 0, 0, 1, 2);
    texts->addWidget(author, 1, 0, 1, 2);
    texts->addWidget(emailLabel, 2, 0);
    texts->addWidget(m_email, 2, 1);
    texts->setColumnStretch(1, 1);

    auto *top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(icon);
    top->addLayout(texts, 1);

    m_contact = new QPushButton(QStringLiteral("联系作者"));
    m_contact->setObjectName(QStringLiteral("button1000"));
    m_ok = new QPushButton(QStringLiteral("确定"));
    m_ok->setDefault(true);
    connect(m_contact, &QPushButton::clicked, this, &CAboutDlg::OnContact);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_contact);
    buttons->addWidget(m_ok);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(22, 20, 22, 16);
    page->setSpacing(18);
    page->addLayout(top);
    page->addLayout(buttons);
    setMinimumWidth(360);
}

void CAboutDlg::OnContact() {
    shell::WriteToContact();
}
