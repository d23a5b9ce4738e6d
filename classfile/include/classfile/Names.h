#pragma once

#include <string_view>

namespace classfile {

/// Attribute names the reader knows, and the constructor's method name.
namespace names {
inline constexpr std::string_view Code = "Code";
inline constexpr std::string_view ConstantValue = "ConstantValue";
inline constexpr std::string_view Exceptions = "Exceptions";
inline constexpr std::string_view InnerClasses = "InnerClasses";
inline constexpr std::string_view Synthetic = "Synthetic";
inline constexpr std::string_view SourceFile = "SourceFile";
inline constexpr std::string_view LineNumberTable = "LineNumberTable";
inline constexpr std::string_view LocalVariableTable = "LocalVariableTable";
inline constexpr std::string_view Deprecated = "Deprecated";
inline constexpr std::string_view StackMap = "StackMap";
inline constexpr std::string_view RuntimeVisibleAnnotations = "RuntimeVisibleAnnotations";
inline constexpr std::string_view RuntimeInvisibleAnnotations = "RuntimeInvisibleAnnotations";
inline constexpr std::string_view RuntimeVisibleParameterAnnotations =
    "RuntimeVisibleParameterAnnotations";
inline constexpr std::string_view RuntimeInvisibleParameterAnnotations =
    "RuntimeInvisibleParameterAnnotations";
inline constexpr std::string_view Init = "<init>";
} // namespace names

} // namespace classfile
