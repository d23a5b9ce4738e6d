// Writes the example compiled rule files of examples/ into a directory:
//   zul_generate_examples <directory>
// The files are laid out as the rule compiler lays them out: attributes and
// rules with parameters and annotations, calls of built-in operations, enum
// constants and conversions, and bytecode that refers to all of them.
#include "sgbtest/RuleFileWriter.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using sgbtest::Arg;
using sgbtest::Local;
using sgbtest::MethodSpec;
using sgbtest::RuleAnnotation;
using sgbtest::RuleFileWriter;

/// Bytecode of one method body, built instruction by instruction.
class Code {
public:
    Code& ldcString(uint16_t index) { return op(0x13).u2(index); } // ldc_w
    Code& ldcDouble(uint16_t index) { return op(0x14).u2(index); } // ldc2_w
    Code& ldcInt(uint16_t index) { return op(0x13).u2(index); }    // ldc_w
    Code& getStatic(uint16_t index) { return op(0xB2).u2(index); } // getstatic
    Code& putStatic(uint16_t index) { return op(0xB3).u2(index); } // putstatic
    Code& call(uint16_t index) { return op(0xB8).u2(index); }      // invokestatic
    Code& dload(uint8_t slot) { return op(0x18).op(slot); }
    Code& aload(uint8_t slot) { return op(0x19).op(slot); }
    Code& pop() { return op(0x57); }
    Code& pop2() { return op(0x58); }
    Code& iconst0() { return op(0x03); }
    Code& dadd() { return op(0x63); }
    Code& returnVoid() { return op(0xB1); }
    Code& returnDouble() { return op(0xAF); }
    Code& returnObject() { return op(0xB0); }
    Code& returnInt() { return op(0xAC); }

    std::vector<uint8_t> bytes;

private:
    Code& op(uint8_t b) {
        bytes.push_back(b);
        return *this;
    }
    Code& u2(uint16_t v) { return op(static_cast<uint8_t>(v >> 8)).op(static_cast<uint8_t>(v)); }
};

MethodSpec method(const std::string& name, const std::string& descriptor,
                  const std::vector<Local>& locals, const Code& code,
                  const std::vector<RuleAnnotation>& annotations, const char* marker) {
    MethodSpec m;
    m.name = name;
    m.descriptor = descriptor;
    m.locals = locals;
    m.code = code.bytes;
    m.maxStack = 8;
    if (marker) {
        std::vector<RuleAnnotation> all{{marker, {}}};
        all.insert(all.end(), annotations.begin(), annotations.end());
        m.containers.push_back(all);
    }
    return m;
}

const char* const kSplitNode = "Lcom/ulno/gc/SplitNode;";

// A building: attributes with ranges and descriptions, a start rule, a
// grouped facade rule, splits and a hip roof.
std::string building() {
    RuleFileWriter f("rules/Building");
    f.w.addAttribute(f.w.sourceFile("Building.sgl"));
    f.fileAnnotations(
        {RuleFileWriter::version("1.10", "1.4"),
         {"@Description", {Arg::text("", "Mid-rise building with <setbacks> & a hip roof")}},
         {"@Author", {Arg::text("name", "Urban Lab"), Arg::number("revision", 3)}}});

    const uint16_t height = f.ownField("height");
    const uint16_t floorHeight = f.ownField("floorHeight");
    const uint16_t style = f.ownField("style", "Ljava/lang/String;");
    const uint16_t extrude = f.builtinCall("extrude", "(D)V");
    const uint16_t comp =
        f.builtinCall("comp", std::string("(Lcom/ulno/gc/CompSelector;") + kSplitNode + ")V");
    const uint16_t split =
        f.builtinCall("split", std::string("(Lcom/ulno/gc/SplitAxis;") + kSplitNode + ")V");
    const uint16_t root = f.builtinCall("_$createSplitRoot", std::string("(I)") + kSplitNode);
    const uint16_t node =
        f.builtinCall("_$createSplitNode", std::string("(Lcom/ulno/gc/Comp;IZI)") + kSplitNode);
    const uint16_t nodeByScale =
        f.builtinCall("_$createSplitNode", std::string("(Lcom/ulno/gc/Scale;DZI)") + kSplitNode);
    const uint16_t roofHip = f.builtinCall("roofHip", "(DD)V");
    const uint16_t insert = f.builtinCall("i", "(Ljava/lang/String;)V");
    const uint16_t rand = f.builtinCall("rand", "(DD)D");
    const uint16_t createShape = f.builtinCall("_$createShape", "(Ljava/lang/String;)V");
    const uint16_t handle = f.builtinCall("_$getHandle", "(DD)D");
    const uint16_t handleByName = f.builtinCall("_$getHandle", "(Ljava/lang/String;)D");
    const uint16_t print = f.builtinCall("print", "(Ljava/lang/String;)Ljava/lang/String;");
    const uint16_t selectorF = f.enumConstant("CompSelector", "f");
    const uint16_t front = f.enumConstant("Comp", "front");
    const uint16_t side = f.enumConstant("Comp", "side");
    const uint16_t axisY = f.enumConstant("SplitAxis", "y");
    const uint16_t floating = f.enumConstant("Scale", "FLT");
    const uint16_t toComp = f.enumConversion("Comp");
    const uint16_t mass = f.ownCall("Mass", "(D)V");
    const uint16_t facade = f.ownCall("Facade", "(Ljava/lang/String;)V");
    const uint16_t floor = f.ownCall("Floor", "()V");
    const uint16_t roof = f.ownCall("Roof", "(DD)V");
    const uint16_t floorCount = f.ownCall("floorCount", "()D");
    const uint16_t twenty = f.w.doubleValue(20.0);
    const uint16_t three = f.w.doubleValue(3.5);
    const uint16_t thirty = f.w.doubleValue(30.0);
    const uint16_t window = f.w.string("assets/window.obj");
    const uint16_t modern = f.w.string("modern");
    const uint16_t frontText = f.w.string("front");
    const uint16_t handleName = f.w.string("tower");
    const uint16_t one = f.w.integer(1);

    f.addMethod(method("height", "()D", {}, Code().ldcDouble(twenty).returnDouble(),
                       {{"@Range", {Arg::number("min", 3), Arg::number("max", 120)}},
                        {"@Description", {Arg::text("", "Total height in metres")}},
                        {"$Order", {Arg::number("", 0)}}},
                       "_$ATTR"));
    f.addMethod(method("floorHeight", "()D", {},
                       Code().ldcDouble(three).ldcDouble(thirty).call(rand).dadd().returnDouble(),
                       {{"@Range", {Arg::number("min", 2.5), Arg::number("max", 6)}},
                        {"$Order", {Arg::number("", 1)}}},
                       "_$ATTR"));
    f.addMethod(method(
        "style", "()Ljava/lang/String;", {}, Code().ldcString(modern).returnObject(),
        {{"@Enum",
          {Arg::text("", "modern"), Arg::text("", "classic"), Arg::boolean("restricted", true)}}},
        "_$ATTR"));
    f.addMethod(method("floorCount", "()D", {},
                       Code().getStatic(height).getStatic(floorHeight).dadd().returnDouble(), {},
                       nullptr));
    f.addMethod(method("Lot", "()V", {}, Code().getStatic(height).call(mass).returnVoid(),
                       {{"$StartRule", {}}, {"@StartRule", {}}}, "_$RULE"));
    f.addMethod(method("Mass", "(D)V", {{"h", "D"}},
                       Code()
                           .dload(0)
                           .call(extrude)
                           .iconst0()
                           .call(root)
                           .getStatic(selectorF)
                           .call(comp)
                           .getStatic(front)
                           .ldcInt(one)
                           .call(node)
                           .pop()
                           .ldcString(frontText)
                           .call(toComp)
                           .pop()
                           .call(floorCount)
                           .pop2()
                           .ldcDouble(thirty)
                           .ldcDouble(three)
                           .call(roof)
                           .returnVoid(),
                       {}, "_$RULE"));
    f.addMethod(method("Facade", "(Ljava/lang/String;)V", {{"side", "Ljava/lang/String;"}},
                       Code()
                           .getStatic(axisY)
                           .iconst0()
                           .call(root)
                           .call(split)
                           .getStatic(side)
                           .getStatic(floating)
                           .ldcDouble(three)
                           .ldcInt(one)
                           .call(nodeByScale)
                           .pop()
                           .call(floor)
                           .returnVoid(),
                       {{"$Group", {Arg::text("", "Walls"), Arg::number("", 1)}},
                        {"@Hidden", {Arg::boolean("", false)}}},
                       "_$RULE"));
    f.addMethod(method("Floor", "()V", {},
                       Code()
                           .ldcString(window)
                           .call(insert)
                           .getStatic(style)
                           .call(print)
                           .pop()
                           .ldcString(handleName)
                           .call(handleByName)
                           .pop2()
                           .returnVoid(),
                       {{"$Group", {Arg::text("", "Walls"), Arg::number("", 2)}}}, "_$RULE"));
    f.addMethod(method("Roof", "(DD)V", {{"angle", "D"}, {"overhang", "D"}},
                       Code()
                           .dload(0)
                           .dload(2)
                           .call(roofHip)
                           .dload(0)
                           .dload(2)
                           .call(handle)
                           .pop2()
                           .ldcString(modern)
                           .call(createShape)
                           .returnVoid(),
                       {{"$Order", {Arg::number("", 5)}}}, "_$RULE"));
    f.addMethod(method("Facade$corner$left", "(Ljava/lang/String;)V",
                       {{"side", "Ljava/lang/String;"}}, Code().aload(0).call(facade).returnVoid(),
                       {}, "_$RULE"));
    return f.str();
}

// A park: a file compiled by an older compiler, with conversions between
// enum names and texts, scattering and a boolean attribute.
std::string park() {
    RuleFileWriter f("rules/Park");
    f.fileAnnotations({RuleFileWriter::version("1.9", "1.3"),
                       {"@Description", {Arg::text("", "Pocket park with trees")}}});
    const uint16_t trees = f.ownField("treeCount");
    const uint16_t paved = f.ownField("paved", "Z");
    const uint16_t scatter =
        f.builtinCall("scatter", "(Lcom/ulno/gc/Domain;DLcom/ulno/gc/DistributionType;I)V");
    const uint16_t offset = f.builtinCall("offset", "(DLcom/ulno/gc/OffsetSelector;)V");
    const uint16_t color = f.builtinCall("color", "(Ljava/lang/String;)V");
    const uint16_t area = f.builtinCall("geometry$area", "()D");
    const uint16_t surface = f.enumConstant("Domain", "surface");
    const uint16_t uniform = f.enumConstant("DistributionType", "uniform");
    const uint16_t inside = f.enumConstant("OffsetSelector", "inside");
    const uint16_t toDomain = f.enumConversion("Domain");
    const uint16_t toOffset = f.enumConversion("OffsetSelector");
    const uint16_t tree = f.ownCall("Tree", "()V");
    const uint16_t green = f.w.string("#3c7d3a");
    const uint16_t border = f.w.string("border");
    const uint16_t five = f.w.doubleValue(5.0);
    const uint16_t minus = f.w.doubleValue(-1.5);
    const uint16_t twelve = f.w.integer(12);

    f.addMethod(
        method("treeCount", "()D", {}, Code().ldcDouble(five).returnDouble(),
               {{"@Range",
                 {Arg::number("min", 0), Arg::number("max", 50), Arg::boolean("integer", true)}}},
               "_$ATTR"));
    f.addMethod(method("paved", "()Z", {}, Code().iconst0().returnInt(),
                       {{"@Description", {Arg::text("", "Paths are paved")}}}, "_$ATTR"));
    f.addMethod(method("Park", "()V", {},
                       Code()
                           .ldcDouble(minus)
                           .getStatic(inside)
                           .call(offset)
                           .getStatic(surface)
                           .getStatic(trees)
                           .getStatic(uniform)
                           .ldcInt(twelve)
                           .call(scatter)
                           .ldcString(border)
                           .call(toOffset)
                           .pop()
                           .ldcString(border)
                           .call(toDomain)
                           .pop()
                           .getStatic(paved)
                           .pop()
                           .call(tree)
                           .returnVoid(),
                       {{"$StartRule", {}}}, "_$RULE"));
    f.addMethod(method("Tree", "()V", {},
                       Code().ldcString(green).call(color).call(area).pop2().returnVoid(), {},
                       "_$RULE"));
    f.addMethod(
        method("Lawn", "(DZ)V", {{"size", "D"}, {"mowed", "Z"}},
               Code().ldcString(green).call(color).returnVoid(),
               {{"$Group", {Arg::text("", "Ground"), Arg::text("", "cover"), Arg::number("", 0)}}},
               "_$RULE"));
    return f.str();
}

// A tower compiled by a newer compiler, with problems a rule author fixes:
// a function without body that returns a value, a long local and an
// unknown built-in.
std::string tower() {
    RuleFileWriter f("rules/Tower");
    f.fileAnnotations({RuleFileWriter::version("2.1", "2.0")});
    const uint16_t levels = f.ownCall("levels", "()D");
    f.ownCall("Tower", "(J)V");
    const uint16_t spin = f.builtinCall("spin", "(D)V");
    const uint16_t extrude = f.builtinCall("extrude", "(D)V");
    const uint16_t hundred = f.w.doubleValue(100.0);
    f.addMethod(method("height", "()D", {}, Code().ldcDouble(hundred).returnDouble(),
                       {{"@Range", {Arg::number("min", 50), Arg::number("max", 400)}}}, "_$ATTR"));
    f.addMethod(method("Tower", "(J)V", {{"seed", "J"}},
                       Code().call(levels).call(extrude).ldcDouble(hundred).call(spin).returnVoid(),
                       {{"$StartRule", {}}}, "_$RULE"));
    return f.str();
}

bool write(const std::string& directory, const std::string& name, const std::string& bytes) {
    const std::string path = directory + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "zul_generate_examples: cannot write '" << path << "'\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zul_generate_examples DIRECTORY\n";
        return 2;
    }
    const std::string directory = argv[1];
    const bool ok = write(directory, "Building.sgb", building()) &&
                    write(directory, "Park.sgb", park()) && write(directory, "Tower.sgb", tower());
    return ok ? 0 : 1;
}
