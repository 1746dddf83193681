#include "transcript.h"

#include <gtest/gtest.h>

TEST(Transcript, PutsEachActionAndItemOnItsOwnLineWithTextsDecoded)
{
    const QString update = QStringLiteral(
        "<items><action>New</action>"
        "<item><label><pos><x>1</x><y>2</y></pos><text>%E5%87%BA%E5%8B%A4%20A</text></label></item>"
        "<item><backbround><filename>..%2FParts%2Fa.png</filename></backbround></item>"
        "<action>Flash</action></items>");
    EXPECT_EQ(vnq::test::transcriptOf(update).toStdString(),
              "<action>New</action>\n"
              "<item><label><pos><x>1</x><y>2</y></pos><text>出勤 A</text></label></item>\n"
              "<item><backbround><filename>../Parts/a.png</filename></backbround></item>\n"
              "<action>Flash</action>");
}
