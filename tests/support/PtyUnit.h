#pragma once

// A scripted unit inside the test process, on the simulator's pseudo-terminal:
// the test decides what each 7-byte frame gets back and can put bytes on the
// line at any moment.

#include "PseudoTerminal.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <unistd.h>

class PtyUnit {
public:
    using Responder = std::function<QByteArray(const QByteArray &frame)>;

    PtyUnit()
    {
        if (!terminal_.open().isEmpty())
            return;
        notifier_ = std::make_unique<QSocketNotifier>(terminal_.masterFd(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
            std::array<char, 512> buffer{};
            for (ssize_t n = 0; (n = ::read(terminal_.masterFd(), buffer.data(), buffer.size())) > 0;)
                pending_.append(buffer.data(), n);
            for (; pending_.size() >= 7; pending_.remove(0, 7)) {
                frames_.append(pending_.left(7));
                if (responder_)
                    inject(responder_(frames_.constLast()));
            }
        });
    }

    bool isValid() const { return notifier_ != nullptr; }
    QString path() const { return terminal_.devicePath(); }
    void setResponder(Responder responder) { responder_ = std::move(responder); }
    const QList<QByteArray> &frames() const { return frames_; }

    // Puts bytes on the line towards the program now; a short write shows as a
    // missing answer.
    void inject(const QByteArray &bytes) const
    {
        if (!bytes.isEmpty())
            (void)!::write(terminal_.masterFd(), bytes.constData(), static_cast<size_t>(bytes.size()));
    }

private:
    zelsim::PseudoTerminal terminal_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray pending_;
    QList<QByteArray> frames_;
    Responder responder_;
};
