// wltool check on media made here: every planted problem reported once, on its file and line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "medium_check.h"
#include "word_list_files.h"

namespace setup {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

TEST(CheckMedium, TheSampleMediumIsClean) { EXPECT_THAT(wltool::CheckMedium(SAMPLE_MEDIUM), IsEmpty()); }

TEST(CheckMedium, ReportsEveryPlantedProblemOnceOnItsFileAndLine) {
    test::TempDir medium;
    std::filesystem::create_directory(medium.Path() / "language");
    test::WriteFileBytes(medium.File("install.inf"),
                         "title\r\n"                                     // 1: no value
                         "titel Words\r\n"                               // 2: no key
                         "mkdir language\r\n"                            // 3
                         "copy README.TXT readme.txt\r\n"                // 4: found whatever the case
                         "copy language.cf language.cf\r\n"              // 5
                         "copy language\\deen.wb language\\deen.wb\r\n"  // 6
                         "copy language\\x.wb language\\x.wb\r\n"        // 7: no such file
                         "copy language\\odd.wb language\\odd.wb\r\n"    // 8
                         "copy language\\none.wb language\\none.wb\r\n"  // 9
                         "copy table.stb tables\\english.stb\r\n"        // 10: no mkdir tables
                         "mkdir tables\r\n"
                         "copy table.stb tables\\english.stb\r\n"  // 12: 255 bytes
                         "xcopy *.chm .\r\n"                       // 13: matches nothing
                         "sndcopy sounds snd\r\n"                  // 14: no such directory
                         "copy single\r\n"                         // 15: one name
                         "setini =1\r\n"                           // 16: no key name
                         "iconname\r\n"                            // 17: no value
                         "display gone.txt\r\n"                    // 18: not copied
                         "mkwlist\r\n");
    test::WriteFileBytes(medium.File("readme.txt"), "read me");
    test::WriteFileBytes(medium.File("table.stb"), std::string(255, '\1'));
    test::WriteFileBytes(medium.File("language.cf"),
                         "# jobs\n"
                         "ende.wb,en,de,German\ndeen.wb\nende.wb\n"  // 2-4: 31-character head word and more
                         "x.wb,en,x,X\nx.wb\ntemp.wb\n"              // 5-7: reported copy line; scratch name
                         "e,en,e\nnone.wb\nnone2.wb\n"               // 8-10: three fields; empty list
                         "o,en,o,O\nodd.wb\n..\\o.wb\n"              // 11-13: 100 bytes; not a file name
                         "n,en,n,N\nnowhere.wb\nn.wb\n"              // 14-16: not copied
                         "c,en,c,C\ncut.wb\n");                      // 17-18: cut short
    std::string bad;
    for (int i = 0; i < 12; ++i) bad += std::string(kWordRecordSize, 'x');
    test::WriteFileBytes(medium.File("language/deen.wb"), test::RecordBytes(std::string(31, 'h'), "t") +
                                                              test::RecordBytes("good", "fine") +
                                                              test::RecordBytes("h", std::string(51, 't')) + bad);
    test::WriteFileBytes(medium.File("language/none.wb"), "");
    test::WriteFileBytes(medium.File("language/odd.wb"), test::RecordBytes("a", "b") + "sixteen bytes...");

    const std::string inf = medium.File("install.inf") + ":";
    const std::string cf = medium.File("language.cf") + ":";
    const std::string list = medium.File("language/deen.wb") + ":";
    std::vector<std::string> expected = {
        inf + "1: \"title\" without a value: the line is ignored",
        inf + "2: \"titel Words\" matches no key: the line is ignored",
        inf + "7: \"language\\x.wb\" is not on the medium",
        inf + "10: no earlier mkdir line makes the directory \"tables\"",
        inf + "12: sort table is 255 bytes, not 256",
        inf + "13: no file on the medium matches \"*.chm\"",
        inf + "14: directory \"sounds\" is not on the medium",
        inf + "15: \"copy\" without two names: the line is ignored",
        inf + "16: \"setini\" without \"name=value\": the line is ignored",
        inf + "17: \"iconname\" without a value: the line is ignored",
        inf + "18: display file \"gone.txt\": no line of install.inf copies it into the target",
        cf + "7: TO list name \"temp.wb\" is not a plain file name inside language\\",
        cf + "8: Too few fields in LANGUAGE.CF: \"e,en,e\"",
        cf + "9: FROM list \"language\\none.wb\" is empty",
        cf + "12: FROM list \"language\\odd.wb\" is 100 bytes, not a multiple of 84",
        cf + "13: TO list name \"..\\o.wb\" is not a plain file name inside language\\",
        cf + "15: FROM list \"language\\nowhere.wb\": no line of install.inf copies it into the target",
        cf + "17: the file ends inside this job: it is not built",
        list + "1: head word has no terminating zero",
        list + "3: translations have no terminating zero",
    };
    // The first ten bad records one by one, the rest counted.
    for (int record = 4; record <= 11; ++record)
        expected.push_back(list + std::to_string(record) + ": head word and translations have no terminating zero");
    expected.push_back(medium.File("language/deen.wb") + ": 4 more records without a terminating zero");
    EXPECT_THAT(wltool::CheckMedium(medium.Path()), ElementsAreArray(expected));
}

}  // namespace
}  // namespace setup
