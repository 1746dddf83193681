#pragma once

#include <QObject>

class QTimer;

namespace vistrel {

// Sets up drawing and the job runner, then drives everything from one 80 ms timer.
class MainTask : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 80;

    explicit MainTask(QObject* parent = nullptr);

public slots:
    // One tick: the queued touches, then the job runner's step.
    void run();

private:
    QTimer* m_timer;
};

}  // namespace vistrel
