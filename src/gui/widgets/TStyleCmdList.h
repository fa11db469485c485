#pragma once

#include <QProxyStyle>

// Item-view style of the command list: rows are filled with the palette's
// base colour before the default style draws them. One instance per view,
// installed with QWidget::setStyle (the view does not own it).
class TStyleCmdList : public QProxyStyle
{
public:
    TStyleCmdList();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                       QPainter *painter, const QWidget *widget = nullptr) const override;
};
