#pragma once

// COM ports as Windows names them. COMn is the system's COMn; the Win32 API
// opens COM1 to COM9 by their plain names but COM10 and above only as
// \\.\COMn, so every COM name is handed on in that form.

#include <QList>
#include <QString>

namespace torsa::link::windows {

// A port the system lists: its name ("COM3") and how the system describes the
// device behind it ("USB Serial Port").
struct ListedPort {
    QString name;
    QString description;
};

// "COM12", "com3", "\\.\COM3": the \\.\COMn path; anything else as given.
QString systemPortPath(const QString &port);

// Status tip of the item COMn standing for the device: the adapter as the
// system describes it, the device pinned by TORSA_COMn when the system does
// not list it, or that there is no such port.
QString comStatusTip(int comNumber, const QString &device, const QList<ListedPort> &listed);

// The ports the system lists now.
QList<ListedPort> listedPorts();

} // namespace torsa::link::windows
