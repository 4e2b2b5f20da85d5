#pragma once
// The real implementations of the platform seams, on Qt Widgets.

#include "Platform.h"

class QWidget;

namespace tolva {

class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QWidget* parent = nullptr) : m_parent(parent) {}
    void show(const MessageReport& report) override;
private:
    QWidget* m_parent;
};

} // namespace tolva
