#pragma once

// Writes compiled rule files the way the rule compiler lays them out: the
// rule file's class at pool slot 2, a builtins class, methods for rules,
// attributes and functions, and rule-language annotations inside container
// annotations. Header-only, on top of the class-file writer, so that tests,
// benchmarks and the example generator share it.

#include "testsupport/ClassWriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sgbtest {

/// One argument of a rule-language annotation. `type` is the character the
/// compiler writes: 'b', 'f', 's' (anything else is an unsupported type).
struct Arg {
    char type = 's';
    std::string key;
    bool b = false;
    double f = 0.0;
    std::string s;

    static Arg boolean(std::string key, bool value) {
        return {'b', std::move(key), value, 0.0, {}};
    }
    static Arg number(std::string key, double value) {
        return {'f', std::move(key), false, value, {}};
    }
    static Arg text(std::string key, std::string value) {
        return {'s', std::move(key), false, 0.0, std::move(value)};
    }
};

/// A rule-language annotation: its name ("$Order", "_$RULE", ...) and arguments.
struct RuleAnnotation {
    std::string name;
    std::vector<Arg> args;
};

/// A local variable of a method's local-variable table.
struct Local {
    std::string name;
    std::string descriptor;
};

/// One method of the rule file's class.
struct MethodSpec {
    std::string name;
    std::string descriptor = "()V";
    uint16_t access = 0x0009; ///< public static
    uint16_t maxStack = 4;
    std::vector<uint8_t> code = {0xB1}; ///< return
    bool withCode = true;
    bool withLocals = true; ///< write a local-variable table (even an empty one)
    std::vector<Local> locals;
    /// One container annotation per element, each holding these annotations.
    std::vector<std::vector<RuleAnnotation>> containers;
};

class RuleFileWriter {
public:
    explicit RuleFileWriter(std::string className = "rules/Example",
                            std::string builtinsClass = "com/ulno/gc/Builtins")
        : mClassName(std::move(className)), mBuiltinsName(std::move(builtinsClass)) {
        // The compiler writes the rule file's class first: its name at slot 1,
        // the class entry at slot 2.
        w.thisClass = w.classEntry(w.utf8(mClassName));
        w.superClass = w.classNamed("java/lang/Object");
    }

    testsupport::ClassWriter w;

    // ---- pool entries the bytecode refers to ----------------------------

    uint16_t builtinCall(const std::string& name, const std::string& descriptor) {
        return w.methodRef(mBuiltinsName, name, descriptor);
    }
    uint16_t ownCall(const std::string& name, const std::string& descriptor) {
        return w.methodRef(mClassName, name, descriptor);
    }
    uint16_t ownField(const std::string& name, const std::string& descriptor = "D") {
        return w.fieldRef(mClassName, name, descriptor);
    }
    /// Enum classes live in the package com/ulno/gc.
    uint16_t enumConstant(const std::string& enumClass, const std::string& keyword) {
        return w.fieldRef("com/ulno/gc/" + enumClass, keyword, "Lcom/ulno/gc/" + enumClass + ";");
    }
    uint16_t enumConversion(const std::string& enumClass) {
        return w.methodRef("com/ulno/gc/" + enumClass, "valueOf",
                           "(Ljava/lang/String;)Lcom/ulno/gc/" + enumClass + ";");
    }

    // ---- annotations ------------------------------------------------------

    /// The nested annotation that encodes one rule-language annotation.
    testsupport::AnnotationSpec encode(const RuleAnnotation& a) {
        using testsupport::ElementValueSpec;
        std::vector<ElementValueSpec> types, names, bvals, dvals, svals;
        for (const Arg& arg : a.args) {
            types.push_back(ElementValueSpec::constant('C', w.integer(arg.type)));
            names.push_back(ElementValueSpec::constant('s', w.utf8(arg.key)));
            bvals.push_back(ElementValueSpec::constant('Z', w.integer(arg.b ? 1 : 0)));
            dvals.push_back(ElementValueSpec::constant('D', w.doubleValue(arg.f)));
            svals.push_back(ElementValueSpec::constant('s', w.utf8(arg.s)));
        }
        return w.annotation("Lcom/ulno/gc/SGLAnnotation;",
                            {{"name", ElementValueSpec::constant('s', w.utf8(a.name))},
                             {"types", ElementValueSpec::array(types)},
                             {"names", ElementValueSpec::array(names)},
                             {"bvals", ElementValueSpec::array(bvals)},
                             {"dvals", ElementValueSpec::array(dvals)},
                             {"svals", ElementValueSpec::array(svals)}});
    }

    /// A container annotation holding the encoded annotations.
    testsupport::AnnotationSpec container(const std::vector<RuleAnnotation>& annotations) {
        std::vector<testsupport::ElementValueSpec> values;
        for (const RuleAnnotation& a : annotations)
            values.push_back(testsupport::ElementValueSpec::nested(encode(a)));
        return w.annotation("Lcom/ulno/gc/SGLAnnotations;",
                            {{"value", testsupport::ElementValueSpec::array(values)}});
    }

    /// The rule file's own annotations, as one container on the class.
    void fileAnnotations(const std::vector<RuleAnnotation>& annotations) {
        w.addAttribute(w.annotations({container(annotations)}));
    }

    static RuleAnnotation version(const std::string& sglc, const std::string& sgl) {
        return {"@_VERSION", {Arg::text("sglc", sglc), Arg::text("sgl", sgl)}};
    }

    // ---- methods ------------------------------------------------------------

    void addMethod(const MethodSpec& m) {
        testsupport::AttributeBytesList attributes;
        if (m.withCode) {
            testsupport::AttributeBytesList nested;
            if (m.withLocals) {
                std::vector<testsupport::LocalVariableRow> rows;
                uint16_t slot = 0;
                for (const Local& l : m.locals) {
                    rows.push_back(w.local(0, static_cast<uint16_t>(m.code.size()), l.name,
                                           l.descriptor, slot));
                    slot = static_cast<uint16_t>(
                        slot + (l.descriptor == "D" || l.descriptor == "J" ? 2 : 1));
                }
                nested.push_back(w.localVariableTable(rows));
            }
            attributes.push_back(w.code(m.maxStack, 16, m.code, {}, nested));
        }
        if (!m.containers.empty()) {
            std::vector<testsupport::AnnotationSpec> list;
            for (const auto& c : m.containers)
                list.push_back(container(c));
            attributes.push_back(w.annotations(list));
        }
        w.addMethod(m.access, m.name, m.descriptor, attributes);
    }

    /// A rule or attribute: the marker first, then the given annotations.
    void addEntry(const std::string& marker, const std::string& name, const std::string& descriptor,
                  const std::vector<Local>& params = {},
                  const std::vector<RuleAnnotation>& annotations = {}) {
        MethodSpec m;
        m.name = name;
        m.descriptor = descriptor;
        m.locals = params;
        std::vector<RuleAnnotation> all{{marker, {}}};
        all.insert(all.end(), annotations.begin(), annotations.end());
        m.containers.push_back(all);
        addMethod(m);
    }
    void addAttr(const std::string& name, const std::string& descriptor,
                 const std::vector<RuleAnnotation>& annotations = {}) {
        addEntry("_$ATTR", name, descriptor, {}, annotations);
    }

    std::string str() const { return w.str(); }

private:
    std::string mClassName;
    std::string mBuiltinsName;
};

} // namespace sgbtest
