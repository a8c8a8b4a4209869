#pragma once

// A scripted unit inside the test process, on a real pseudo-terminal, for the
// answer shapes the simulator does not produce: the test decides what each
// 7-byte frame gets back and can put bytes on the line at any moment.

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
    using Responder = std::function<QByteArray(const QByteArray &frame)>;

    PtyUnit()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        const char *name = master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0 ? ::ptsname(master_)
                                                                                               : nullptr;
        // Kept open so that the master never sees a hang-up between clients.
        slave_ = name != nullptr ? ::open(name, O_RDWR | O_NOCTTY) : -1;
        if (slave_ < 0)
            return;
        termios settings{};
        ::tcgetattr(slave_, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(slave_, TCSANOW, &settings);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
            char buffer[512];
            for (ssize_t n = 0; (n = ::read(master_, buffer, sizeof buffer)) > 0;)
                pending_.append(buffer, n);
            for (; pending_.size() >= 7; pending_.remove(0, 7)) {
                frames_.append(pending_.left(7));
                if (responder_)
                    inject(responder_(frames_.constLast()));
            }
        });
    }

    ~PtyUnit()
    {
        notifier_.reset();
        ::close(slave_);
        ::close(master_);
    }

    PtyUnit(const PtyUnit &) = delete;
    PtyUnit &operator=(const PtyUnit &) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    QString path() const { return path_; }
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    const QList<QByteArray> &frames() const { return frames_; }

    // Puts bytes on the line towards the program now; a short write shows as a
    // missing answer.
    void inject(const QByteArray &bytes)
    {
        if (!bytes.isEmpty())
            (void)!::write(master_, bytes.constData(), static_cast<size_t>(bytes.size()));
    }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray pending_;
    QList<QByteArray> frames_;
    Responder responder_;
};
