#include "ui/main/TabStrip.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

// The style of the strip, with the room beside the captions the strip decides.
class TabStrip::Spacing final : public QProxyStyle {
public:
    explicit Spacing(const TabStrip& strip)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
        , m_strip(strip) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace && widget == &m_strip && m_strip.m_space >= 0)
            return m_strip.m_space;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    const TabStrip& m_strip;
};

TabStrip::TabStrip(QWidget* parent)
    : QTabBar(parent)
    , m_style(new Spacing(*this)) {
    m_style->setParent(this);
    setStyle(m_style);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
}

void TabStrip::resizeEvent(QResizeEvent* event) {
    fit();
    QTabBar::resizeEvent(event);
}

void TabStrip::tabInserted(int index) {
    fit();
    QTabBar::tabInserted(index);
}

void TabStrip::fit() {
    m_space = -1;
    int total = 0;
    for (int i = 0; i < count(); ++i)
        total += tabSizeHint(i).width();
    const int over = total - width();
    if (over <= 0 || count() == 0)
        return;
    const int full = m_style->baseStyle()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this);
    m_space = qMax(qMin(MinimumSpace, full), full - (over + count() - 1) / count());
}
