#pragma once

#include <QObject>

class QSocketNotifier;

namespace genart {

// SIGTERM, SIGINT and SIGHUP as a Qt signal, so a slideshow told to stop (a screensaver is
// stopped with SIGTERM) ends its event loop and gives its windows and pixmaps back. One at a time.
class TerminationSignal final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override; // the signals' default actions again

signals:
    void received();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace genart
