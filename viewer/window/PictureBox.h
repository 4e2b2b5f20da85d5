#pragma once
// A picture box of the viewer's window: it paints one picture, either at its
// own size from the top-left corner (the map panel) or stretched over the
// whole box (the 3-D view). The 3-D view's frame is drawn at the box's size
// in device pixels, so there each frame pixel is one pixel of the screen, on
// a high-density screen too. As the 3-D view it is also where finished
// frames go.

#include "render/FrameDrawing.h"

#include <QImage>
#include <QWidget>

namespace tolva {

class PictureBox : public QWidget, public FrameSink {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    // Loads an empty picture.
    void clear() { setPicture(QImage()); }
    void setStretched(bool stretched);

    std::optional<QString> present(const QImage& frame) override;

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    bool m_stretched = false;
};

} // namespace tolva
