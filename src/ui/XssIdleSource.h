#pragma once

#include "ui/IdleTimeReader.h"

namespace zelmora::ui {

// Idle time from the X screen saver extension (libXss), loaded at run time so that the program
// also starts where X11 is absent.
class XssIdleSource : public IdleTimeReader {
public:
    XssIdleSource();
    ~XssIdleSource() override;
    XssIdleSource(const XssIdleSource&) = delete;
    XssIdleSource& operator=(const XssIdleSource&) = delete;

    QString name() const override;
    std::optional<qint64> idleSeconds() override;

private:
    bool open();
    void close();

    struct Api;
    Api* m_api = nullptr;
};

} // namespace zelmora::ui
