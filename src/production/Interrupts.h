#pragma once

// Ctrl+C (and SIGTERM on Linux) as an event of the event loop, so that a run
// stops its units after their byte in progress and reports each one. Each
// platform has its own source file (Interrupts_linux.cpp, Interrupts_windows.cpp),
// chosen by the build. While an instance lives, these requests no longer end
// the process.

#include <QObject>

#include <memory>

namespace torsa::production {

class Interrupts : public QObject {
    Q_OBJECT

public:
    explicit Interrupts(QObject *parent = nullptr);
    ~Interrupts() override;

    Interrupts(const Interrupts &) = delete;
    Interrupts &operator=(const Interrupts &) = delete;

    // False when the platform refused: the requests then end the process as usual.
    bool isValid() const;

    // Called first thing in main(), before a windowing toolkit starts threads
    // of its own: they inherit the signals held back (Linux), so that they
    // reach the event loop alone. Nothing to do on Windows.
    static void holdBackOnEveryThread();

Q_SIGNALS:
    void requested();

private:
    struct Platform;
    std::unique_ptr<Platform> platform_;
};

} // namespace torsa::production
