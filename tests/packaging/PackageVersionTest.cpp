// Which version the packages of a build carry, and what their copyright file says of the
// firmware: the release's version either way; no firmware by default, and a disclaimer
// when the build names firmware to embed. Configures the project afresh (no build) and
// reads what CPack was given.
#include "tests/packaging/PackagingTestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int kConfigureLimitMs = 5 * 60 * 1000;

struct Configured {
    QString packageVersion;   // CPACK_PACKAGE_VERSION as CPackConfig.cmake sets it
    QString copyright;        // the Debian copyright file made at configure time
};

Configured configure(const QStringList &options, QByteArray &log)
{
    QTemporaryDir build;
    const ProcessResult configure = runProgram(
        QStringLiteral(REVERTEX_CMAKE_COMMAND),
        QStringList{QStringLiteral("-S"), sourceDir(), QStringLiteral("-B"), build.path(), QStringLiteral("-DBUILD_TESTING=OFF")}
            + options,
        kConfigureLimitMs);
    log = configure.output;
    if (!configure.finished || configure.exitCode != 0)
        return {};
    const QRegularExpression line(QStringLiteral("^set\\(CPACK_PACKAGE_VERSION \"([^\"]*)\"\\)$"),
                                  QRegularExpression::MultilineOption);
    Configured result;
    result.packageVersion = line.match(QString::fromUtf8(fileBytes(build.filePath(QStringLiteral("CPackConfig.cmake"))))).captured(1);
    result.copyright = QString::fromUtf8(fileBytes(build.filePath(QStringLiteral("documents/copyright"))));
    return result;
}

TEST(PackageVersion, IsTheReleaseWithOrWithoutEmbeddedFirmware)
{
    QByteArray log;
    const Configured none = configure({QStringLiteral("-DREVERTEX_FIRMWARE=")}, log);
    EXPECT_EQ(none.packageVersion, QStringLiteral(REVERTEX_VERSION)) << log.toStdString();
    EXPECT_TRUE(none.copyright.contains(QStringLiteral("\nComment: usr/bin/revertex carries no camera firmware")))
        << none.copyright.toStdString();
    EXPECT_FALSE(none.copyright.contains(QStringLiteral("Disclaimer:")));

    // Any named file counts as the real firmware here; the build would check it. That
    // firmware is not ours: the copyright file must not put it under our licence.
    const QString named = sourceDir() + QStringLiteral("/resources/firmware/ptz2-test-image.container");
    const Configured release = configure({QStringLiteral("-DREVERTEX_FIRMWARE=") + named}, log);
    EXPECT_EQ(release.packageVersion, QStringLiteral(REVERTEX_VERSION)) << log.toStdString();
    EXPECT_TRUE(release.copyright.contains(QStringLiteral("\nDisclaimer: usr/bin/revertex embeds the camera firmware image")))
        << release.copyright.toStdString();
    EXPECT_TRUE(release.copyright.contains(QStringLiteral("is not covered by the\n licence below")));
    EXPECT_FALSE(release.copyright.contains(QStringLiteral("carries no camera firmware")));
}

} // namespace
