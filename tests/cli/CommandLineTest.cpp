// Runs the built zul as a user or a pipeline does, one row per command line:
// exit status, what goes to standard output and to standard error, the JSON
// and XML records, standard input, damaged files and plugins that crash.
#include "sgbtest/RuleFileWriter.h"
#include "testsupport/Command.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

#define ZT ZT_TREE "/"
#define PP PP_TREE "/lib"
// What the loader writes when it refuses a library of another API version.
#define MISMATCH "' NOT loaded due to api version mismatch: zul has version " ZUL_API_VERSION ".x, "
#define INCOMPATIBLE(lib) "library '" ZT lib "' is not a compatible extension ("

const std::string kParkWarning = "Potentially problematic SGLC version 1.9 : recompiling with "
                                 "current SGL Compiler (1.10) is recommended.";
const Strings kTowerErrors = {
    "Illegal method 'levels()D' with undefined body  - not a rule (not void).",
    "Datatype 'J' not supported.", "Non-recognized builtin method 'spin(D)V'.",
    "Unsupported SGLC version 2.1 : major number larger than current (1.10)"};

/// One command line, run in examples/; $T stands for the directory of the
/// files that the suite writes. Each stream holds its fragments in the order
/// given; "=text" is the whole stream and "!text" is nowhere in it. Standard
/// error without fragments is empty.
struct Case {
    std::string args; ///< after "zul"
    int status;
    Strings out;
    Strings err;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << "zul " << c.args;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

/// A class "T" extending java/lang/Object, for the dump rows.
testsupport::ClassWriter classT() {
    testsupport::ClassWriter w;
    w.thisClass = w.classNamed("T");
    w.superClass = w.classNamed("java/lang/Object");
    return w;
}

/// A rule file with one constant of each kind that the JSON record writes.
/// Its pool: 1-2 class T, 3-4 its super class, 5 integer, 6-13 four doubles,
/// 14-15 a string, 21 acos(D)D of the builtins, 27 an enum conversion, 33 an
/// enum constant, 37 a field of T, 41 the method run(D)V of T.
std::string recordFile() {
    sgbtest::RuleFileWriter f("T");
    f.w.integer(-7);
    for (const double d :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), -0.5})
        f.w.doubleValue(d);
    f.w.string("caf\xC3\xA9");
    f.builtinCall("acos", "(D)D");
    f.enumConversion("Comp");
    f.enumConstant("AreaSelector", "front");
    f.ownField("h");
    f.ownCall("run", "(D)V");
    sgbtest::MethodSpec run;
    run.name = "run";
    run.descriptor = "(D)V";
    run.code = {0x10, 0xFA, 0x57, 0xB1}; // bipush -6, pop, return
    run.locals = {{"x", "D"}};
    f.addMethod(run);
    return f.str();
}

class ZulCommandLine : public ::testing::TestWithParam<Case> {
protected:
    // Files that the rows name as $T/...: damaged and hand-made inputs.
    static void SetUpTestSuite() {
        dir->write("garbage.class", "hello, world");
        // Reads, but its constant value names a method reference whose class
        // slot (5) holds text.
        testsupport::ClassWriter u = classT();
        const uint16_t text = u.utf8("a/B");
        const uint16_t badRef = u.refEntry(10, text, u.nameAndType("run", "()V"));
        u.addField(0x0008, "f", "I", {u.constantValue(badRef)});
        dir->write("undumpable.class", u.str());
        dir->write("record.sgb", recordFile());
        // The name of an enum class that the table lacks, with control characters.
        testsupport::ClassWriter e = classT();
        e.fieldRef("com/ulno/gc/Bad\nLine\tEnd\r\x7F", "x", "I");
        dir->write("newline.sgb", e.str());
    }
    static std::unique_ptr<testsupport::TempDir> dir;
};

std::unique_ptr<testsupport::TempDir> ZulCommandLine::dir =
    std::make_unique<testsupport::TempDir>();

void expectFragments(const std::string& text, const Strings& fragments) {
    size_t from = 0;
    for (const std::string& f : fragments) {
        const size_t at = text.find(f, from);
        if (f[0] == '=') {
            EXPECT_EQ(text, f.substr(1));
        } else if (f[0] == '!') {
            EXPECT_EQ(text.find(f.substr(1)), std::string::npos) << f << " in:\n" << text;
        } else if (at == std::string::npos) {
            ADD_FAILURE() << "no " << f << " after offset " << from << " in:\n" << text;
        } else {
            from = at + f.size();
        }
    }
}

TEST_P(ZulCommandLine, Runs) {
    const Case& c = GetParam();
    // A crash of a probed library must reach the probe as the signal it is,
    // not as a sanitizer's report and exit status.
    const testsupport::CommandResult r = testsupport::runCommand(
        std::string("cd '") + ZUL_EXAMPLES_DIR +
        "' && ASAN_OPTIONS=$ASAN_OPTIONS:handle_segv=0 TSAN_OPTIONS=$TSAN_OPTIONS:handle_segv=0 '" +
        ZUL_COMMAND + "' " + replaceAll(c.args, "$T", dir->path()));
    EXPECT_FALSE(r.signaled);
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    expectFragments(replaceAll(r.out, dir->path(), "$T"), c.out);
    expectFragments(replaceAll(r.err, dir->path(), "$T"), c.err);
    if (c.err.empty()) {
        EXPECT_EQ(r.err, "");
    }
}

std::string nulls(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "null,";
    return text;
}

const std::string kTowerCheck =
    "Tower.sgb: error: " + kTowerErrors[0] + "\nTower.sgb: error: " + kTowerErrors[1] +
    "\nTower.sgb: error: " + kTowerErrors[2] + "\nTower.sgb: error: " + kTowerErrors[3] + "\n";
const std::string kSwitches = ZUL_DATA_DIR "/dump/classes/dump/Switches.class";
const std::string kConstants = ZUL_DATA_DIR "/dump/classes/dump/Constants.class";

const Case kCases[] = {
    {"--version",
     0,
     {"=zul " ZUL_VERSION "\nhost API " ZUL_API_VERSION " (host core " ZUL_VERSION
      ")\nloader " ZUL_LOADER "\n"},
     {}},
    // Usage errors.
    {"decode --format yaml Park.sgb", 2, {"="}, {"zul: ", " (see zul --help)\n"}},
    {"check", 2, {"="}, {"zul: "}},

    // check: each diagnostic once, on standard output; by name or from standard input.
    {"check --format text Tower.sgb", 1, {"=" + kTowerCheck}, {}},
    // A directory, and a URI that no adaptor accepts, which the file-system
    // adaptor takes whole for a file name.
    {"check $T zip:none.sgb",
     1,
     {"="},
     {"=zul: $T: cannot open file '$T': it is a directory\nzul: zip:none.sgb: cannot open file "
      "'zip:none.sgb': No such file or directory\n"}},
    {"check --content-type sgb - < Park.sgb", 0, {"=<stdin>: warning: " + kParkWarning + "\n"}, {}},
    {"check --format json Tower.sgb Park.sgb missing.sgb",
     1,
     {"{\"file\":\"Tower.sgb\",\"errors\":[\"" + kTowerErrors[0] + "\",\"" + kTowerErrors[1] +
          "\",\"" + kTowerErrors[2] + "\",\"" + kTowerErrors[3] + "\"],\"warnings\":[]}\n",
      "{\"file\":\"Park.sgb\",\"errors\":[],\"warnings\":[\"" + kParkWarning + "\"]}\n",
      "{\"file\":\"missing.sgb\",\"error\":\""},
     {"zul: missing.sgb: "}},

    // decode: XML, JSON and none; a failed file is reported and the others go on.
    {"decode Building.sgb Park.sgb 'a&b<c>\"d.sgb'",
     1,
     {"<rulefiles>\n<rulefile file=\"Building.sgb\"><rulefileinfo>",
      "</rulefileinfo></rulefile>\n<rulefile file=\"Park.sgb\"><rulefileinfo>",
      "</rulefileinfo></rulefile>\n<rulefile file=\"a&amp;b&lt;c&gt;&quot;d.sgb\" error=\"",
      "\"/>\n</rulefiles>\n"},
     {"zul: a&b<c>\"d.sgb: "}},
    {"decode --xml-per-file Park.sgb Building.sgb",
     0,
     {"<rulefileinfo><attributes><entry returntype=\"bool\" name=\"paved\"><parameters></"
      "parameters>",
      "</rulefileinfo>\n<rulefileinfo>", "</rulefileinfo>\n"},
     {"=[3] SGB file contains warning '" + kParkWarning + "'\n"}},
    {"decode --format json $T/record.sgb",
     0,
     {"={\"file\":\"$T/record.sgb\",\"constants\":[" + nulls(5) +
      "{\"tag\":2,\"value\":-7},{\"tag\":1,\"value\":\"nan\"},null,{\"tag\":1,\"value\":"
      "\"inf\"},null,{\"tag\":1,\"value\":\"-inf\"},null,{\"tag\":1,\"value\":-0.5},null,"
      "null,{\"tag\":0,\"value\":\"caf\xC3\xA9\"}," +
      nulls(5) + "{\"tag\":4,\"value\":1}," + nulls(5) + "{\"tag\":6,\"value\":0}," + nulls(5) +
      "{\"tag\":7,\"value\":3,\"name\":\"AreaSelector.front\"}," + nulls(7) +
      "{\"tag\":3,\"method\":{\"index\":41,\"position\":0,\"kind\":0,\"maxStack\":4,"
      "\"paramCount\":1,\"localSlots\":2,\"localTypes\":[1],\"code\":\"10fa57b1\",\"public\":1,"
      "\"name\":\"run\",\"baseName\":\"\",\"descriptor\":\"(D)V\",\"valid\":1}}],"
      "\"ownFieldRefs\":[37],\"enumTypeNames\":[\"Comp\"],\"handleRefs\":[],\"methodIndex\":{"
      "\"run(D)V\":41},\"compilerVersion\":[0,0],\"languageVersion\":[0,0],\"errors\":[],"
      "\"warnings\":[\"Potentially unsupported SGLC version 0.0 : major number smaller than "
      "current (1.10)\",\"Potentially problematic SGLC version 0.0 : recompiling with current "
      "SGL Compiler (1.10) is recommended.\"]}\n"},
     {}},
    {"decode --format json Building.sgb Tower.sgb - missing.sgb < Park.sgb",
     1,
     {"{\"file\":\"Building.sgb\",\"constants\":[",
      "\"compilerVersion\":[1,10],\"languageVersion\":[1,4],\"errors\":[],\"warnings\":[]}\n",
      "{\"file\":\"Tower.sgb\",", "{\"file\":\"<stdin>\",\"constants\":[",
      "{\"file\":\"missing.sgb\",\"error\":\"cannot open file '"},
     {"zul: missing.sgb: cannot open file '"}},
    {"decode - < CheckExamples.cmake", 1, {}, {"zul: <stdin>: not a compiled rule file"}},
    // The only decoder for the content type yields nothing.
    {"--log-level 5 decode --format none --plugins " ZT
     "good/one/two/three --content-type sgb missing.sgb Park.sgb",
     1,
     {"="},
     {"zul: missing.sgb: ", "\nzul: Park.sgb: the decoder returned no compiled-rule object\n"}},
    // In XML a control character but the tab becomes U+FFFD.
    {"decode $T/newline.sgb",
     1,
     {"<rulefile file=\"$T/newline.sgb\" error=\"No enum "
      "'Bad\xEF\xBF\xBDLine\tEnd\xEF\xBF\xBD\x7F' "
      "found in map!\"/>\n"},
     {"=zul: $T/newline.sgb: No enum 'Bad\\nLine\\tEnd\\r\\x7f' found in map!\n"}},

    // dump: every file is dumped or reported, in order.
    {"dump " + kSwitches +
         " $T/missing.class $T/garbage.class $T "
         "$T/undumpable.class " +
         kSwitches + " " + kConstants,
     1,
     {"Classfile " + kSwitches + "\nmagic=0xcafebabe\n",
      "Classfile " + kSwitches + "\nmagic=0xcafebabe\n", " ldc2_w #",
      "!Classfile $T/undumpable.class"},
     {"zul: $T/missing.class: No such file or directory\n",
      "zul: $T/garbage.class: SGB file contains invalid magic word '0x68656c6c'\n",
      "zul: $T: Is a directory\n",
      "zul: $T/undumpable.class: not dumpable: Reading SGB error:  pool[5] != CPEClass\n",
      "!CPERef"}},
    {"dump --no-code - < " + kConstants,
     0,
     {"Classfile -\nmagic=0xcafebabe\n", "code={\n          }", "! ldc2_w #"},
     {}},

    // extensions: the listing, where each extension comes from, refused libraries.
    {"--log-level 1 extensions --no-default-plugins",
     0,
     {"com.ulno.zul.core.SGBDecoder                  decoder  SGB           0.0  "
      "libcom.ulno.zul.loader",
      " SGB Byte Stream Reader\n"},
     {"[2] Available Extensions:\n[2]     com.ulno.zul.core.SGBDecoder                  (0.0) SGB "
      "Byte Stream Reader\n"}},
    {"extensions com.ulno.zul.core.SGBDecoder",
     0,
     {"=id:           com.ulno.zul.core.SGBDecoder\nkind:         decoder\ncontent type: SGB\n"
      "merit:        0.0\nname:         SGB Decoder\ndescription:  SGB Byte Stream Reader\n"
      "library:      " ZUL_LOADER "\n"},
     {}},
    {"extensions --no-default-plugins no.such.id",
     1,
     {"="},
     {"=zul extensions: no extension 'no.such.id'\n"}},
    {"extensions --json",
     0,
     {"[\n  {\n    \"contentType\": \"Undefined\",\n",
      "\n    \"id\": \"com.ulno.zul.adaptors.FileSystemAdaptor\",\n    \"kind\": \"adaptor\",\n",
      "\n  },\n  {\n    \"contentType\": \"SGB\",\n    \"description\": \"SGB Byte Stream "
      "Reader\",\n    \"id\": \"com.ulno.zul.core.SGBDecoder\",\n    \"kind\": \"decoder\",\n    "
      "\"library\": \"" ZUL_LOADER
      "\",\n    \"merit\": 0.0,\n    \"name\": \"SGB Decoder\"\n  }\n]\n"},
     {}},
    {"extensions --json --no-default-plugins --plugins " ZT "good/one",
     0,
     {"\"id\": \"test.encoder.csv\",\n    \"kind\": \"encoder\",\n    \"library\": \"" ZT
      "good/one/libzt_encoders.so\",\n    \"merit\": 1.0,"},
     {}},
    {"extensions --no-default-plugins --plugins " ZT "bad/libzt_minor_mismatch.so --plugins " ZT
     "bad/libzt_throwing.so",
     1,
     {},
     {"[3] extension library '", MISMATCH "extension library has version ",
      "\nzul extensions: library '" ZT "bad/libzt_throwing.so' was not accepted: " INCOMPATIBLE(
          "bad/libzt_throwing.so") "reason: 'registration failed on purpose')\n",
      "!libzt_minor_mismatch.so' was not accepted"}},
    {"extensions --no-default-plugins --plugins /no/such/plugins",
     1,
     {},
     {"[3] Invalid plugin path: '/no/such/plugins'\n"}},

    // probe: each library in a child process of its own.
    {"probe --timeout 2 " PP "crash-in-register.so " PP "hang-in-register.so " PP
     "exit-in-register.so " PP "crash-in-unregister.so",
     1,
     {"crashed   " PP "crash-in-register.so  signal 11 (", ") while loading and registering\n",
      "hung      " PP "hang-in-register.so  no answer within 2 s while loading and registering, "
      "killed\n",
      "crashed   " PP "exit-in-register.so  exited with status 3 while loading and registering\n",
      "crashed   " PP
      "crash-in-unregister.so  decoders: test.minimal.crash-in-unregister; then signal 11 (",
      ") while unregistering and unloading\n",
      "probed 4 libraries: 0 accepted, 0 rejected, 3 crashed, 1 hung\n"},
     {}},
    {"probe --timeout 20 " ZT "good/libzt_decoders.so " ZT "good/not-a-library.so " ZT
     "bad/libzt_minor_mismatch.so " ZT "bad/libzt_unregister_throws.so",
     1,
     {"accepted  " ZT "good/libzt_decoders.so  decoders: ", "test.decoder.geo.a",
      "rejected  " ZT "good/not-a-library.so  failed to load library: error while loading "
      "library '" ZT "good/not-a-library.so': ",
      "rejected  " ZT "bad/libzt_minor_mismatch.so  extension library '",
      MISMATCH "extension library has version ", "accepted  " ZT "bad/libzt_unregister_throws.so  ",
      "probed 4 libraries: 2 accepted, 2 rejected, 0 crashed, 0 hung\n", "!SGBDecoder"},
     {}},
    {"probe " ZT "good",
     1,
     {"probed 5 libraries: 4 accepted, 1 rejected, 0 crashed, 0 hung\n", "!zt_upper"},
     {}},
    {"probe --json " ZT "good/one/libzt_encoders.so " ZT "bad/libzt_throwing.so",
     1,
     {"={\"library\":\"" ZT "good/one/libzt_encoders.so\",\"verdict\":\"accepted\",\"detail\":"
      "\"encoders: test.encoder.csv, test.encoder.otherkind\",\"decoders\":[],"
      "\"encoders\":[\"test.encoder.csv\",\"test.encoder.otherkind\"],"
      "\"adaptors\":[]}\n{\"library\":\"" ZT "bad/libzt_throwing.so\",\"verdict\":\"rejected\","
      "\"detail\":\"" INCOMPATIBLE("bad/libzt_throwing.so") "reason: 'registration failed on "
                                                            "purpose')\",\"decoders\":[],"
                                                            "\"encoders\":[],\"adaptors\":[]}\n"},
     {}},
    {"probe /no/such/plugin/path " ZT "good/one/libzt_encoders.so",
     1,
     {"=accepted  " ZT "good/one/libzt_encoders.so  encoders: test.encoder.csv, "
      "test.encoder.otherkind\nprobed 1 library: 1 accepted, 0 rejected, 0 crashed, 0 hung\n"},
     {"=zul probe: invalid plugin path '/no/such/plugin/path'\n"}},
    {"probe CheckExamples.cmake",
     0,
     {"=probed 0 libraries: 0 accepted, 0 rejected, 0 crashed, 0 hung\n"},
     {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ZulCommandLine, ::testing::ValuesIn(kCases));

} // namespace
