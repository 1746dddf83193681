#pragma once

#include <QString>
#include <QStringList>

namespace vnq::test {

// One update as a transcript: each action or item on its own line, percent-encoded texts
// decoded, so a difference reads like the screen.
QString transcriptOf(const QString& update);

// Compares the updates, as a transcript (one "--- update N" header each), with the golden
// file <goldenDir>/<name>.txt. A missing golden fails the test; with VNQ_UPDATE_GOLDEN=1 in
// the environment a missing file is written (and the test still fails, to be re-run after
// the new file is reviewed).
void expectTranscriptIn(const QString& goldenDir, const QString& name, const QStringList& updates);

}  // namespace vnq::test

// The golden directory of the calling test area (tests/<area>/golden), set by the build.
#ifdef VNQ_TEST_GOLDEN_DIR
inline void expectTranscript(const QString& name, const QStringList& updates)
{
    vnq::test::expectTranscriptIn(QStringLiteral(VNQ_TEST_GOLDEN_DIR), name, updates);
}
#endif
