#pragma once

// A scripted unit inside the test process, on a real pseudo-terminal: the test
// decides, frame by frame, what the unit answers, and can put bytes on the
// line at any moment (a late answer, garbage). For the exact answer shapes the
// simulator does not produce; whole transfers run against zel-sim.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <termios.h>
#include <unistd.h>

class PtyUnit {
public:
    // Answer for a received 7-byte frame.
    using Responder = std::function<QByteArray(const QByteArray &frame)>;

    PtyUnit()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        const char *name = ::ptsname(master_);
        if (name == nullptr)
            return;
        // Kept open so that the master never sees a hang-up between clients.
        slave_ = ::open(name, O_RDWR | O_NOCTTY);
        if (slave_ < 0)
            return;
        termios settings{};
        ::tcgetattr(slave_, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(slave_, TCSANOW, &settings);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { onReadable(); });
    }

    ~PtyUnit()
    {
        notifier_.reset();
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
    }

    PtyUnit(const PtyUnit &) = delete;
    PtyUnit &operator=(const PtyUnit &) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    QString path() const { return path_; }

    void setResponder(Responder responder) { responder_ = std::move(responder); }

    // Puts bytes on the line towards the program now.
    void inject(const QByteArray &bytes)
    {
        if (bytes.isEmpty())
            return;
        if (::write(master_, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
            lostBytes_ = true;   // the test then sees a missing answer
    }

    const QList<QByteArray> &frames() const { return frames_; }
    bool lostBytes() const { return lostBytes_; }

private:
    static constexpr qsizetype kFrameSize = 7;

    void onReadable()
    {
        char buffer[512];
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            pending_.append(buffer, n);
        }
        while (pending_.size() >= kFrameSize) {
            const QByteArray frame = pending_.left(kFrameSize);
            pending_.remove(0, kFrameSize);
            frames_.append(frame);
            if (responder_)
                inject(responder_(frame));
        }
    }

    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray pending_;
    QList<QByteArray> frames_;
    Responder responder_;
    bool lostBytes_ = false;
};
