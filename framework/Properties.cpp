#include "Properties.h"

#include <algorithm>

namespace fw {

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

bool IsKeyChar(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

class Reader {
public:
    explicit Reader(std::string_view table) : t_(table) {}

    bool AtEnd() const { return pos_ >= t_.size(); }
    std::size_t Pos() const { return pos_; }

    std::string_view ReadKey()
    {
        const std::size_t start = pos_;
        while (pos_ < t_.size() && IsKeyChar(static_cast<unsigned char>(t_[pos_])))
            ++pos_;
        std::string_view key = t_.substr(start, pos_ - start);
        if (key.empty())
            throw SettingsError("settings table: expected a key", std::string(), start);
        if (pos_ >= t_.size() || t_[pos_] != ' ')
            throw SettingsError("settings table: key without its space", std::string(key), pos_);
        ++pos_;
        return key;
    }

    PropValue ReadValue(PropType type, std::string_view key)
    {
        switch (type) {
        case PropType::Int32:
            return static_cast<std::int32_t>(ReadBe32(key));
        case PropType::Boolean: {
            const auto b = static_cast<unsigned char>(Take(1, key)[0]);
            if (b > 1)
                throw SettingsError("settings table: Boolean value is neither 0 nor 1", std::string(key),
                                    pos_ - 1);
            return b == 1;
        }
        case PropType::Color: {
            const std::string_view c = Take(3, key);
            return Color{static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                         static_cast<std::uint8_t>(c[2])};
        }
        case PropType::String: {
            const std::size_t at = pos_;
            const std::int32_t n = static_cast<std::int32_t>(ReadBe32(key));
            if (n < 0)
                throw SettingsError("settings table: negative text length", std::string(key), at);
            const std::string_view bytes = Take(static_cast<std::size_t>(n), key);
            return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        }
        }
        throw SettingsError("settings table: unknown value type", std::string(key), pos_);
    }

private:
    std::string_view Take(std::size_t n, std::string_view key)
    {
        if (t_.size() - pos_ < n)
            throw SettingsError("settings table: value cut short", std::string(key), pos_);
        std::string_view out = t_.substr(pos_, n);
        pos_ += n;
        return out;
    }
    std::uint32_t ReadBe32(std::string_view key)
    {
        const std::string_view b = Take(4, key);
        std::uint32_t v = 0;
        for (char c : b)
            v = (v << 8) | static_cast<unsigned char>(c);
        return v;
    }

    std::string_view t_;
    std::size_t pos_ = 0;
};

}  // namespace

SettingsError::SettingsError(const std::string& what, std::string key, std::size_t offset)
    : std::runtime_error(what + (key.empty() ? std::string() : " \"" + key + "\"") + " at byte " +
                         std::to_string(offset)),
      key_(std::move(key)),
      offset_(offset)
{
}

PropertyClass::PropertyClass(std::string className, const PropertyClass* parent)
    : name_(std::move(className)), parent_(parent)
{
    if (parent_)
        index_ = parent_->index_;
}

PropertyClass& PropertyClass::Add(const char* name, PropType type,
                                  void (*apply)(PropertyObject&, const PropValue&, AnyFn),
                                  AnyFn setter)
{
    ownStore_.push_back(std::make_unique<Property>(Property{name, type, apply, setter}));
    index_[Lower(name)] = ownStore_.back().get();
    return *this;
}

const Property* PropertyClass::Find(std::string_view key) const
{
    char buf[64];  // keys are short; no allocation per look-up
    if (key.size() > sizeof buf)
        return nullptr;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char c = key[i];
        buf[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    auto it = index_.find(std::string_view(buf, key.size()));
    return it == index_.end() ? nullptr : it->second;
}

void SetProperties(PropertyObject& target, std::string_view table)
{
    const PropertyClass& cls = target.Properties();
    Reader in(table);
    while (!in.AtEnd()) {
        const std::size_t at = in.Pos();
        const std::string_view key = in.ReadKey();
        const Property* prop = cls.Find(key);
        if (!prop)
            throw SettingsError("settings table: " + cls.Name() + " has no property", std::string(key), at);
        const PropValue value = in.ReadValue(prop->type, key);
        prop->apply(target, value, prop->setter);
    }
    target.PropertiesApplied();
}

void SettingsTable::Key(std::string_view key)
{
    bytes_.append(key);
    bytes_.push_back(' ');
}

void SettingsTable::Be32(std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes_.push_back(static_cast<char>((v >> shift) & 0xFF));
}

SettingsTable& SettingsTable::Int32(std::string_view key, std::int32_t value)
{
    Key(key);
    Be32(static_cast<std::uint32_t>(value));
    return *this;
}

SettingsTable& SettingsTable::Boolean(std::string_view key, bool value)
{
    Key(key);
    bytes_.push_back(value ? '\1' : '\0');
    return *this;
}

SettingsTable& SettingsTable::ColorRgb(std::string_view key, std::uint32_t rgb)
{
    Key(key);
    const Color c = Color::FromRgb(rgb);
    bytes_.push_back(static_cast<char>(c.r));
    bytes_.push_back(static_cast<char>(c.g));
    bytes_.push_back(static_cast<char>(c.b));
    return *this;
}

SettingsTable& SettingsTable::String(std::string_view key, std::string_view utf8)
{
    Key(key);
    Be32(static_cast<std::uint32_t>(utf8.size()));
    bytes_.append(utf8);
    return *this;
}

}  // namespace fw
