#include "app/text_fit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocument>

namespace {

// What the label shows, without the mnemonic marker or rich text markup.
QString shownText(const QLabel *label)
{
    QString text = label->text();
    if (Qt::mightBeRichText(text)) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
    } else if (label->buddy()) {
        text.remove(QLatin1Char('&')); // the mnemonic's marker is not shown
    }
    return text;
}

int widestWord(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    static const QRegularExpression space(QStringLiteral("\\s+"));
    for (const QString &word : text.split(space, Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

// Room the label's frame, margin and indent take from its box.
QSize chrome(const QLabel *label)
{
    const QRect box = label->rect();
    const QRect contents = label->contentsRect();
    const int margin = 2 * label->margin();
    return {box.width() - contents.width() + margin, box.height() - contents.height() + margin};
}

} // namespace

namespace text_fit {

QSize neededSize(const QLabel *label)
{
    const_cast<QLabel *>(label)->ensurePolished();
    const QFontMetrics metrics(label->font());
    const QString text = shownText(label);
    const QSize extra = chrome(label);
    if (!label->wordWrap()) {
        const QRect one = metrics.boundingRect(QRect(0, 0, 100000, 100000), int(label->alignment()), text);
        return {one.width() + extra.width(), one.height() + extra.height()};
    }
    const int width = std::max(label->width() - extra.width(), widestWord(metrics, text));
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text);
    return {std::max(wrapped.width(), widestWord(metrics, text)) + extra.width(), wrapped.height() + extra.height()};
}

int growToFit(QLabel *label)
{
    const QSize needed = neededSize(label);
    const int taller = std::max(0, needed.height() - label->height());
    label->resize(std::max(label->width(), needed.width()), std::max(label->height(), needed.height()));
    return taller;
}

QStringList cutTexts(const QWidget *root)
{
    QStringList cut;
    const auto name = [](const QWidget *widget, const QString &text) {
        return widget->objectName().isEmpty() ? text
                                              : widget->objectName() + QStringLiteral(" (") + text + QLatin1Char(')');
    };
    for (const QLabel *label : root->findChildren<QLabel *>()) {
        if (shownText(label).isEmpty() || !label->pixmap().isNull())
            continue;
        const QSize needed = neededSize(label);
        if (needed.width() > label->width() || needed.height() > label->height())
            cut << name(label, shownText(label));
    }
    for (const QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
        if (button->text().isEmpty())
            continue;
        const QSize hint = button->sizeHint();
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        const int textWidth = button->fontMetrics().horizontalAdvance(text);
        if (hint.width() > button->width() || textWidth > button->contentsRect().width()
            || button->fontMetrics().height() > button->contentsRect().height())
            cut << name(button, text);
    }
    return cut;
}

} // namespace text_fit
