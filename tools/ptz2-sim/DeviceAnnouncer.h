#pragma once

#include <QString>

// Tells others where the camera is: the path file that scripts wait for, and an
// optional symbolic link with a stable name (removed again at exit).
class DeviceAnnouncer {
public:
    explicit DeviceAnnouncer(const QString &devicePath);
    ~DeviceAnnouncer();
    DeviceAnnouncer(const DeviceAnnouncer &) = delete;
    DeviceAnnouncer &operator=(const DeviceAnnouncer &) = delete;

    // Written to a temporary file beside it and renamed, so that a reader never sees
    // half a path.
    bool writePathFile(const QString &file, QString *error);

    // Replaces an existing symbolic link, never a file or directory.
    bool makeLink(const QString &link, QString *error);

    // Removes the link if it still points to our device.
    void removeLink();

private:
    QString m_device;
    QString m_link;
};
