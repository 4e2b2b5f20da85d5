#include "window/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace tolva {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void PictureBox::setStretched(bool stretched)
{
    m_stretched = stretched;
    update();
}

std::optional<QString> PictureBox::present(const QImage& frame)
{
    if (frame.isNull())
        return QStringLiteral("the frame is empty");
    setPicture(frame);
    return std::nullopt;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_stretched ? Qt::black : palette().window());
    if (m_picture.isNull())
        return;
    // The whole picture, in its own pixels, goes over the box's rectangle,
    // which the painter maps to device pixels: a frame of the box's device
    // size lands pixel for pixel.
    if (m_stretched)
        painter.drawImage(rect(), m_picture);
    else
        painter.drawImage(QPoint(0, 0), m_picture);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace tolva
