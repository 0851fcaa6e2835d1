// SPDX-License-Identifier: GPL-3.0-or-later
// The object stream inside the library files: a resource header, the
// "TPF0" signature, and properties with tagged values. Reading is bounds
// checked everywhere, since library files are untrusted.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

enum class TValueType : uint8_t {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    UTF8String = 20,
};

// Errors raise EStreamError: "Invalid stream format" for a bad header or
// signature, "Stream read error" for data that ends early, "Invalid property
// value" for a value of the wrong kind.
class TObjectReader {
public:
    explicit TObjectReader(std::span<const uint8_t> data) : Data_(data) {}

    // Resource header (0xFF, type 10, name, flags, size) and "TPF0", then the
    // optional flags prefix. Leaves the reader at the holder's class name.
    void ReadHeaderAndSignature();

    // ReadHeaderAndSignature, then the holder's class and object names.
    void ReadHolderStart();
    // A collection value: items until the end tag, each with an optional
    // position integer (ignored) and a list start; readItem reads one item's
    // properties up to and including its end tag.
    void ReadCollection(const std::function<void()>& readItem);

    std::string ReadShortString();
    TValueType ReadValue();
    TValueType NextValue() const;
    // Consumes a Null tag if one is next; true when it did.
    bool EndOfList();
    void ReadListEnd();

    int32_t ReadInteger();           // tags 2, 3, 4
    // Tags 6, 12 and 20 as stored; tag 18 (UTF-16) converted to UTF-8.
    std::string ReadString();
    std::string ReadIdent();         // tag 7 (and the tags of false, true, nil, null)
    bool ReadBoolean();              // tags 8, 9
    std::span<const uint8_t> ReadBinary(); // tag 10
    // Skips any value, lists and collections included. Nesting deeper than
    // 64 lists or collections raises "Invalid property value".
    void SkipValue();

    size_t Position() const { return Pos_; }
    size_t Remaining() const { return Data_.size() - Pos_; }

private:
    uint8_t ReadByte();
    std::span<const uint8_t> ReadBytes(size_t count);
    uint32_t ReadUInt32();

    std::span<const uint8_t> Data_;
    size_t Pos_ = 0;
    int Depth_ = 0;
};

class TObjectWriter {
public:
    // Resource header with the given name, and "TPF0".
    void WriteHeaderAndSignature(const std::string& resourceName);
    void WriteShortString(const std::string& s);
    void WriteValue(TValueType type);
    void WriteListEnd() { WriteValue(TValueType::Null); }
    void WriteInteger(int32_t value);     // smallest tag that holds it
    void WriteString(const std::string& s); // tag 6 or 12 by length
    void WriteIdent(const std::string& s);
    void WriteBoolean(bool value);
    void WriteBinary(std::span<const uint8_t> data);
    // Header, signature, the holder's class name and an empty object name.
    void WriteHolderStart(const std::string& resourceName, const std::string& className);
    // Ends the holder's properties and its (empty) list of child objects.
    void WriteHolderEnd();
    // A property: its name, then its value.
    void WriteProperty(const std::string& name, int32_t value);
    void WriteProperty(const std::string& name, bool value);
    void WriteProperty(const std::string& name, const std::string& value);
    void WriteProperty(const std::string& name, std::span<const uint8_t> value);
    // Fixes the resource header's data size; call once at the end.
    std::vector<uint8_t> Finish();

private:
    void WriteUInt32(uint32_t v);
    std::vector<uint8_t> Out_;
    size_t SizeOffset_ = 0;
};
