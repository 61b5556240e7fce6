// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QTemporaryFile;

namespace zelvora {

// A byte-for-byte copy of one file in 1024-byte chunks. The bytes go to a temporary file beside the target,
// which is flushed to disk and only then renamed over the target, so a failed copy never leaves a partial
// file under the real name and an existing target is replaced only by a complete copy.
class FileCopy final
{
public:
    static constexpr qint64 ChunkSize = 1024;

    // Called after every chunk with its size and the percentage done (see percentDone()).
    using ChunkWritten = std::function<void(qint64 chunkBytes, int percent)>;

    FileCopy(QString source, QString target);
    ~FileCopy(); // removes a temporary copy that was not committed
    Q_DISABLE_COPY_MOVE(FileCopy)

    void onChunkWritten(ChunkWritten callback) { m_chunkWritten = std::move(callback); }

    // Copies the whole source into the temporary file and flushes it to disk. The target is not touched.
    bool copyToTemporary();
    QString temporaryPath() const;

    // Puts the temporary copy in the target's place in one rename (keeping the old target's permissions).
    bool commit();

    // Removes the temporary copy (the copy was only needed to read from).
    void discard();

    // Both steps.
    bool run() { return copyToTemporary() && commit(); }

    // The source's length once the copy is complete, else 0.
    qint64 bytesCopied() const { return m_bytesCopied; }
    // The source's length, once the copy has started.
    qint64 sourceSize() const { return m_total; }
    QString errorString() const { return m_error; }

    // Removes temporary copies beside target that a copy killed mid-way left behind (with the journal files
    // SQLite may have made while such a copy was being checked). Returns how many files were removed.
    static int removeLeftovers(const QString& target);
    // The same for every target in folder whose name matches the wildcard targetNames ("Veresiye_Yedek_*.ydk").
    static int removeLeftovers(const QString& folder, const QString& targetNames);

    // The name pattern of the temporary files beside target, for QTemporaryFile ("XXXXXX" in it).
    static QString temporaryTemplate(const QString& target);

    // Flushes a closed file to disk.
    static bool syncFile(const QString& path);
    // Puts a complete, flushed file in the target's place in one rename (keeping the old target's
    // permissions) and flushes the folder's entry.
    static bool replace(const QString& complete, const QString& target, QString* error);

    // 100 minus the integer part of remaining * 100 / total.
    static int percentDone(qint64 remaining, qint64 total);

private:
    bool fail(const QString& error);

    QString m_source;
    QString m_target;
    ChunkWritten m_chunkWritten;
    std::unique_ptr<QTemporaryFile> m_temporary;
    qint64 m_total = 0;
    qint64 m_bytesCopied = 0;
    bool m_copied = false;
    QString m_error;
};

} // namespace zelvora
