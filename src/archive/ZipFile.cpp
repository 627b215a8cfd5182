#include "archive/ZipFile.h"

#include "archive/ArchiveError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <unzip.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace archive {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ZipFile", text);
}

constexpr qint64 ChunkSize = 1 << 20;

struct ZipCloser {
    void operator()(void* z) const { zipClose(z, nullptr); }
};
struct UnzCloser {
    void operator()(void* z) const { unzClose(z); }
};

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

void WriteZip(const QString& zipPath, const QString& source, const QString& memberName,
              const QString& shownPath) {
    const QString shown = shownPath.isEmpty() ? zipPath : shownPath;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw ArchiveError(tr("Nevar nolasīt rezerves kopiju \"%1\": %2").arg(source, in.errorString()));
    const qint64 total = in.size();  // bytes

    errno = 0;
    std::unique_ptr<void, ZipCloser> zip(
        zipOpen64(QFile::encodeName(zipPath).constData(), APPEND_STATUS_CREATE));
    if (!zip) throw ArchiveError(tr("Nevar izveidot ZIP failu \"%1\": %2").arg(shown, systemReason()));

    zip_fileinfo info{};
    const QDateTime modified = QFileInfo(source).lastModified();
    info.tmz_date.tm_year = uInt(modified.date().year());
    info.tmz_date.tm_mon = uInt(modified.date().month() - 1);
    info.tmz_date.tm_mday = uInt(modified.date().day());
    info.tmz_date.tm_hour = uInt(modified.time().hour());
    info.tmz_date.tm_min = uInt(modified.time().minute());
    info.tmz_date.tm_sec = uInt(modified.time().second());
    const int zip64 = total >= 0xFFFFFFFFLL ? 1 : 0;
    const QByteArray member = memberName.toUtf8();
    if (zipOpenNewFileInZip64(zip.get(), member.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, Z_DEFAULT_COMPRESSION, zip64) != ZIP_OK)
        throw ArchiveError(tr("Nevar rakstīt ZIP failā \"%1\": %2").arg(shown, systemReason()));

    QByteArray buffer;
    for (;;) {
        buffer = in.read(ChunkSize);
        if (buffer.isEmpty()) break;
        errno = 0;
        if (zipWriteInFileInZip(zip.get(), buffer.constData(), unsigned(buffer.size())) != ZIP_OK)
            throw ArchiveError(tr("Nevar rakstīt ZIP failā \"%1\": %2").arg(shown, systemReason()));
    }
    if (in.error() != QFileDevice::NoError)
        throw ArchiveError(tr("Nevar nolasīt rezerves kopiju \"%1\": %2").arg(source, in.errorString()));
    errno = 0;
    if (zipCloseFileInZip(zip.get()) != ZIP_OK)
        throw ArchiveError(tr("Nevar rakstīt ZIP failā \"%1\": %2").arg(shown, systemReason()));
    // Closing writes the central directory; a full disk shows here at the latest.
    errno = 0;
    const int closed = zipClose(zip.release(), nullptr);
    if (closed != ZIP_OK)
        throw ArchiveError(tr("Nevar pabeigt ZIP failu \"%1\": %2").arg(shown, systemReason()));
}

QString ExtractZip(const QString& zipPath, const QString& target) {
    if (!QFileInfo::exists(zipPath)) throw ArchiveError(tr("Arhīva fails \"%1\" neeksistē.").arg(zipPath));
    std::unique_ptr<void, UnzCloser> zip(unzOpen64(QFile::encodeName(zipPath).constData()));
    const QString damaged = tr("\"%1\" nav lasāms ZIP fails vai ir bojāts.").arg(zipPath);
    if (!zip) throw ArchiveError(damaged);
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip.get(), &global) != UNZ_OK) throw ArchiveError(damaged);
    if (global.number_entry != 1)
        throw ArchiveError(
            tr("ZIP failā \"%1\" jābūt tieši vienam failam – datu bāzes rezerves kopijai; tajā ir %2.")
                .arg(zipPath)
                .arg(global.number_entry));
    if (unzGoToFirstFile(zip.get()) != UNZ_OK) throw ArchiveError(damaged);
    unz_file_info64 info{};
    char name[1024] = {};
    if (unzGetCurrentFileInfo64(zip.get(), &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
        throw ArchiveError(damaged);
    if (unzOpenCurrentFile(zip.get()) != UNZ_OK) throw ArchiveError(damaged);

    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ArchiveError(tr("Nevar izveidot failu \"%1\": %2").arg(target, out.errorString()));
    QByteArray buffer(int(ChunkSize), '\0');
    for (;;) {
        const int n = unzReadCurrentFile(zip.get(), buffer.data(), unsigned(buffer.size()));
        if (n < 0) {
            unzCloseCurrentFile(zip.get());
            throw ArchiveError(damaged);
        }
        if (n == 0) break;
        if (out.write(buffer.constData(), n) != n)
            throw ArchiveError(tr("Nevar rakstīt failu \"%1\": %2").arg(target, out.errorString()));
    }
    // The checksum is compared when the member is closed after reading all of it.
    if (unzCloseCurrentFile(zip.get()) != UNZ_OK)
        throw ArchiveError(
            tr("ZIP fails \"%1\" ir bojāts: rezerves kopija neatbilst kontrolsummai.").arg(zipPath));
    if (!out.flush()) throw ArchiveError(tr("Nevar rakstīt failu \"%1\": %2").arg(target, out.errorString()));
    out.close();
    if (qint64(info.uncompressed_size) != QFileInfo(target).size())
        throw ArchiveError(tr("ZIP fails \"%1\" ir bojāts: rezerves kopija nav pilnīga.").arg(zipPath));
    return QString::fromUtf8(name);
}

}  // namespace archive
