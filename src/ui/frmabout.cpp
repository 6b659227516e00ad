#include "ui/frmabout.h"

#include "ui/dialogchrometable.h"
#include "ui/fonts.h"
#include "ui/picture.h"

#include <QLabel>

namespace {

const QColor Yellow(255, 255, 0);
const QColor Blue(0, 0, 255);

QLabel *addLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect,
                 const QFont &font, const QColor &colour = QColor())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    if (colour.isValid()) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, colour);
        label->setPalette(pal);
    }
    // At least one line tall, so descenders are not cut off where the
    // design's height is a little short for the fonts at hand.
    label->setGeometry(QRect(
        rect.topLeft(), QSize(rect.width(), std::max(rect.height(), label->sizeHint().height()))));
    return label;
}

} // namespace

frmAbout::frmAbout(WindowTable &table) : SkinnedDialog(table, dialogChrome(u"frmAbout"))
{
    setFocusPolicy(Qt::NoFocus);

    const QFont name = Fonts::kai(26.25);
    lblTit = addLabel(this, QStringLiteral("lblTit"), QStringLiteral("Zirvel "),
                      QRect(88, 48, 185, 33), name, Yellow);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(24, 48, 43, 46);
    Picture logo(QStringLiteral(":/logo.png"));
    if (!logo.isNull())
        Image1->setPixmap(logo.pixmap(devicePixelRatioF()));

    lblVersion = addLabel(this, QStringLiteral("lblVersion"), QStringLiteral("V 6.0"),
                          QRect(280, 72, 30, 12), font());

    const QFont note = Fonts::song(10.5);
    m_lblMac[1] = addLabel(this, QStringLiteral("lblMac"), QStringLiteral("欢迎反馈"),
                           QRect(136, 86, 81, 13), note, Blue);
    m_lblMac[0] = addLabel(this, QStringLiteral("lblMac"),
                           QStringLiteral("欢迎使用 Zirvel！本程序完全免费，可以自由使用和"
                                          "传播。如果您喜欢它，欢迎参与改进：修正错误、"
                                          "完善功能、绘制图片都很有帮助。\n"
                                          "遇到问题或有建议，请在项目的问题页面报告。"),
                           QRect(16, 104, 305, 105), note, Blue);
    m_lblMac[0]->setWordWrap(true);
    for (int i = 0; i < 2; ++i)
        m_lblMac[i]->setProperty("index", i);
}
