#pragma once
// Settings tables: the byte format every window and control is configured
// with, the per-class property registries that give each key its type and
// setter, and a small encoder that writes tables from readable entries.

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>
#include <memory>

namespace fw {

enum class PropType : std::uint8_t { Int32, Boolean, Color, String };

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    static constexpr Color FromRgb(std::uint32_t rgb)
    {
        return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                static_cast<std::uint8_t>(rgb)};
    }
    friend bool operator==(const Color&, const Color&) = default;
};

using PropValue = std::variant<std::int32_t, bool, Color, QString>;

// A malformed table: names the key and the byte offset where decoding stopped.
class SettingsError : public std::runtime_error {
public:
    SettingsError(const std::string& what, std::string key, std::size_t offset);
    const std::string& Key() const { return key_; }
    std::size_t Offset() const { return offset_; }

private:
    std::string key_;
    std::size_t offset_;
};

class PropertyObject;
using AnyFn = void (*)();  // setters are stored type-erased and cast back on use

struct Property {
    std::string name;  // as the class declares it, e.g. "MultiLine"
    PropType type;
    void (*apply)(PropertyObject&, const PropValue&, AnyFn setter);
    AnyFn setter;
};

// The properties one class declares, chained to its parent class's. Keys are
// found without regard to letter case, own class first.
class PropertyClass {
public:
    PropertyClass(std::string className, const PropertyClass* parent);

    const std::string& Name() const { return name_; }
    const Property* Find(std::string_view key) const;

    template <class T>
    PropertyClass& Int32(const char* name, void (*fn)(T&, std::int32_t))
    {
        return Add(name, PropType::Int32, &Apply<T, std::int32_t>, reinterpret_cast<AnyFn>(fn));
    }
    template <class T>
    PropertyClass& Boolean(const char* name, void (*fn)(T&, bool))
    {
        return Add(name, PropType::Boolean, &Apply<T, bool>, reinterpret_cast<AnyFn>(fn));
    }
    template <class T>
    PropertyClass& ColorProp(const char* name, void (*fn)(T&, Color))
    {
        return Add(name, PropType::Color, &Apply<T, Color>, reinterpret_cast<AnyFn>(fn));
    }
    template <class T>
    PropertyClass& String(const char* name, void (*fn)(T&, const QString&))
    {
        return Add(name, PropType::String, &ApplyString<T>, reinterpret_cast<AnyFn>(fn));
    }

private:
    template <class T, class V>
    static void Apply(PropertyObject& obj, const PropValue& v, AnyFn setter)
    {
        auto fn = reinterpret_cast<void (*)(T&, V)>(setter);
        fn(static_cast<T&>(obj), std::get<V>(v));
    }
    template <class T>
    static void ApplyString(PropertyObject& obj, const PropValue& v, AnyFn setter)
    {
        auto fn = reinterpret_cast<void (*)(T&, const QString&)>(setter);
        fn(static_cast<T&>(obj), std::get<QString>(v));
    }
    PropertyClass& Add(const char* name, PropType type,
                       void (*apply)(PropertyObject&, const PropValue&, AnyFn), AnyFn setter);

    std::string name_;
    const PropertyClass* parent_;
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    // lower-case name -> property, the parents' entries included
    std::unordered_map<std::string, const Property*, Hash, std::equal_to<>> index_;
    std::vector<std::unique_ptr<Property>> ownStore_;  // stable addresses
};

// Anything a settings table can be applied to.
class PropertyObject {
public:
    virtual ~PropertyObject() = default;
    virtual const PropertyClass& Properties() const = 0;

protected:
    friend void SetProperties(PropertyObject&, std::string_view);
    // Runs once after a whole table has been applied; settings that depend
    // on each other (sizes and their limits) are realised here.
    virtual void PropertiesApplied() {}
};

// Applies every entry of the table in order. Throws SettingsError for a
// table that is cut short, a key without its space or an unknown key.
void SetProperties(PropertyObject& target, std::string_view table);

// Writes settings tables from readable entries.
class SettingsTable {
public:
    SettingsTable& Int32(std::string_view key, std::int32_t value);
    SettingsTable& Boolean(std::string_view key, bool value);
    SettingsTable& ColorRgb(std::string_view key, std::uint32_t rgb);
    SettingsTable& String(std::string_view key, std::string_view utf8);

    const std::string& Bytes() const { return bytes_; }
    operator std::string_view() const { return bytes_; }

private:
    void Key(std::string_view key);
    void Be32(std::uint32_t v);
    std::string bytes_;
};

}  // namespace fw
