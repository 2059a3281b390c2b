// Which version the packages of a build carry: the release's only when the build names
// real firmware. Configures the project afresh (no build) and reads what CPack was given.
#include "tests/packaging/PackagingTestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int kConfigureLimitMs = 5 * 60 * 1000;

// CPACK_PACKAGE_VERSION as the configured CPackConfig.cmake sets it.
QString configuredPackageVersion(const QStringList &options, QByteArray &log)
{
    QTemporaryDir build;
    const ProcessResult configure = runProgram(
        QStringLiteral(REVERTEX_CMAKE_COMMAND),
        QStringList{QStringLiteral("-S"), sourceDir(), QStringLiteral("-B"), build.path(), QStringLiteral("-DBUILD_TESTING=OFF")}
            + options,
        kConfigureLimitMs);
    log = configure.output;
    if (!configure.finished || configure.exitCode != 0)
        return QString();
    const QRegularExpression line(QStringLiteral("^set\\(CPACK_PACKAGE_VERSION \"([^\"]*)\"\\)$"),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(fileBytes(build.filePath(QStringLiteral("CPackConfig.cmake"))))).captured(1);
}

TEST(PackageVersion, IsTheReleaseOnlyWhenTheBuildNamesItsFirmware)
{
    QByteArray log;
    EXPECT_EQ(configuredPackageVersion({QStringLiteral("-DREVERTEX_FIRMWARE=")}, log),
              QStringLiteral(REVERTEX_VERSION "~testimage"))
        << log.toStdString();
    // Any named file counts as the real firmware here; the build would check it.
    const QString named = sourceDir() + QStringLiteral("/resources/firmware/ptz2-test-image.container");
    EXPECT_EQ(configuredPackageVersion({QStringLiteral("-DREVERTEX_FIRMWARE=") + named}, log),
              QStringLiteral(REVERTEX_VERSION))
        << log.toStdString();
}

} // namespace
