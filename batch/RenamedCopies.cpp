#include "batch/RenamedCopies.h"

#include "platform/Console.h"
#include "platform/FileOps.h"

#include <QFileInfo>

namespace {

// Each failed attempt means another program created the chosen name first;
// a folder where that keeps happening is not one to keep trying in.
constexpr int maxAttempts = 1000;

} // namespace

RenamedCopies::RenamedCopies(
    const QString &destinationFolder, const Rename &rule, NameSources sources, Now now, UniqueNames::Exists exists)
    : m_rule(rule)
    , m_sources(std::move(sources))
    , m_now(now ? std::move(now) : Now([] { return QDateTime::currentDateTime(); }))
    , m_names(destinationFolder, std::move(exists))
{
}

std::optional<QString> RenamedCopies::copy(const QString &sourcePath)
{
    using platform::FileOps::Result;
    const SplitName original = splitFileName(QFileInfo(sourcePath).fileName());
    const QString stem = newFileStem(original.stem, m_rule, m_sources, m_copied, m_now());
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        const QString target = m_names.next(stem, original.extension);
        const Result result = platform::FileOps::copyNew(sourcePath, target);
        if (result.ok()) {
            ++m_copied;
            return target;
        }
        if (result.code != Result::Code::Exists) {
            platform::Console::err(result.message);
            return std::nullopt;
        }
    }
    platform::Console::err(sourcePath + QStringLiteral(": no free name for its copy"));
    return std::nullopt;
}
