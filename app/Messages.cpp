#include "app/Messages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

MsgAnswer DefaultAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    }
    return MsgAnswer::Cancel;
}

// Without a window system the message still reaches the user, on the error stream.
MessagePresenter &Presenter() {
    static MessagePresenter presenter = [](const QString &text, const QString &caption, MsgIcon, MsgButtons buttons) {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
        return DefaultAnswer(buttons);
    };
    return presenter;
}

} // namespace

MsgAnswer ShowMessage(const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons) {
    return Presenter()(text, caption, icon, buttons);
}

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
    MessagePresenter previous = Presenter();
    Presenter() = std::move(presenter);
    return previous;
}

QString RangeMessage(double min, double max, bool integer) {
    const QString format =
        integer ? QStringLiteral("请填入一个在%1和%2之间的整数。") : QStringLiteral("请填入一个在%1和%2之间的数字。");
    return format.arg(QString::number(min, 'g', 15), QString::number(max, 'g', 15));
}

QString ApplicationTitle() {
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("pelorvanide") : QFileInfo(path).completeBaseName();
}
