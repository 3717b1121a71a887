#include "platform/tolvex/IconCatalogue.h"

#include "platform/tolvex/TextCompare.h"

#include <array>
#include <cstdlib>

namespace tolvex {
namespace {

constexpr int kSize = TOLVEX_ICON_SIZE;

struct Colour {
    uint8_t r, g, b, a = 255;
};

constexpr Colour kOutline{40, 40, 40};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kSkin{240, 200, 160};
constexpr Colour kTrunk{120, 80, 40};
constexpr Colour kGold{240, 190, 20};

// Shapes the icons are made of; the colour tells classes of one shape apart.
enum class Glyph {
    TreeRoot,
    Tree,
    Country,
    Organization,
    OrganizationalUnit,
    Locality,
    Domain,
    Volume,
    Person,
    Group,
    Alias,
    Server,
    Locator,
    Zone,
    RecordSet,
    Subnet,
    AddressRange,
    SubnetPool,
    AddressConfiguration,
    Unknown,
    DirectoryMap,
};

// A mark in the lower right corner that sets account variants apart.
enum class Badge { None, Posix, Apple };

struct ClassIcon {
    const char* className;
    Glyph glyph;
    Colour colour;
    Badge badge = Badge::None;
};

// Icon numbers are the positions in this table; keep the order stable, stored
// settings and running programs may remember numbers.
constexpr Colour kUserBlue{50, 100, 210};
constexpr Colour kPersonTeal{20, 150, 140};
constexpr Colour kOrgPersonPurple{130, 60, 170};

const std::array kClassIcons{
    ClassIcon{"Tree Root", Glyph::TreeRoot, {30, 130, 50}},
    ClassIcon{"Tree", Glyph::Tree, {40, 170, 60}},
    ClassIcon{"Country", Glyph::Country, {200, 40, 40}},
    ClassIcon{"Organization", Glyph::Organization, {150, 110, 70}},
    ClassIcon{"Organizational Unit", Glyph::OrganizationalUnit, {230, 190, 60}},
    ClassIcon{"Locality", Glyph::Locality, {210, 60, 120}},
    ClassIcon{"domain", Glyph::Domain, {70, 160, 200}},
    ClassIcon{"Volume", Glyph::Volume, {150, 150, 160}},
    ClassIcon{"User", Glyph::Person, kUserBlue},
    ClassIcon{"User-posixAccount", Glyph::Person, kUserBlue, Badge::Posix},
    ClassIcon{"User-apple", Glyph::Person, kUserBlue, Badge::Apple},
    ClassIcon{"Person", Glyph::Person, kPersonTeal},
    ClassIcon{"Person-posixAccount", Glyph::Person, kPersonTeal, Badge::Posix},
    ClassIcon{"Person-apple", Glyph::Person, kPersonTeal, Badge::Apple},
    ClassIcon{"Organizational Person", Glyph::Person, kOrgPersonPurple},
    ClassIcon{"Organizational Person-posixAccount", Glyph::Person, kOrgPersonPurple, Badge::Posix},
    ClassIcon{"Organizational Person-apple", Glyph::Person, kOrgPersonPurple, Badge::Apple},
    ClassIcon{"Group", Glyph::Group, {230, 120, 30}},
    ClassIcon{"Alias", Glyph::Alias, {60, 60, 200}},
    ClassIcon{"NCP Server", Glyph::Server, {110, 110, 120}},
    ClassIcon{"DNIP:Locator", Glyph::Locator, {200, 30, 30}},
    ClassIcon{"DNIP:DNS Server", Glyph::Server, {30, 80, 220}},
    ClassIcon{"DNIP:DHCP Server", Glyph::Server, {240, 140, 0}},
    ClassIcon{"DNIP:DNS Zone", Glyph::Zone, {20, 120, 220}},
    ClassIcon{"DNIP:DNS RRset", Glyph::RecordSet, {60, 140, 230}},
    ClassIcon{"DNIP:Subnet", Glyph::Subnet, {0, 150, 80}},
    ClassIcon{"DNIP:Subnet Address Range", Glyph::AddressRange, {110, 180, 40}},
    ClassIcon{"DNIP:Subnet Pool", Glyph::SubnetPool, {160, 90, 200}},
    ClassIcon{"DNIP:IP Address Configuration", Glyph::AddressConfiguration, {220, 170, 0}},
    ClassIcon{"DNIP:Group", Glyph::Group, {190, 70, 20}},
    ClassIcon{"Unknown2", Glyph::Unknown, {140, 140, 140}},
    ClassIcon{"_directorymap", Glyph::DirectoryMap, {90, 160, 90}},
};

// One icon of the strip: a 16 x 16 window into the strip's pixels.
class IconCanvas {
public:
    IconCanvas(std::vector<uint8_t>& pixels, int stripWidth, int number)
        : pixels_(pixels), stripWidth_(stripWidth), left_(number * kSize) {}

    void Set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= kSize || y >= kSize)
            return;
        auto at = (static_cast<size_t>(y) * stripWidth_ + left_ + x) * 4;
        pixels_[at] = c.r;
        pixels_[at + 1] = c.g;
        pixels_[at + 2] = c.b;
        pixels_[at + 3] = c.a;
    }
    void Fill(int x0, int y0, int x1, int y1, Colour c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Set(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, Colour c) {
        Line(x0, y0, x1, y0, c);
        Line(x0, y1, x1, y1, c);
        Line(x0, y0, x0, y1, c);
        Line(x1, y0, x1, y1, c);
    }
    // A filled box with an outline.
    void Box(int x0, int y0, int x1, int y1, Colour fill) {
        Fill(x0, y0, x1, y1, fill);
        Frame(x0, y0, x1, y1, kOutline);
    }
    void Line(int x0, int y0, int x1, int y1, Colour c) {
        int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(x0, y0, c);
            if (x0 == x1 && y0 == y1)
                return;
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    // Disc of radius r around a centre given in half pixels (so even sizes centre well).
    void Disc(int cx2, int cy2, int r, Colour fill, bool outline = true) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
                int d = dx * dx + dy * dy;
                if (d <= 4 * r * r)
                    Set(x, y, outline && d > 4 * (r - 1) * (r - 1) ? kOutline : fill);
            }
    }
    void Ring(int cx2, int cy2, int r, Colour c) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
                int d = dx * dx + dy * dy;
                if (d <= 4 * r * r && d > 4 * (r - 1) * (r - 1))
                    Set(x, y, c);
            }
    }

private:
    std::vector<uint8_t>& pixels_;
    int stripWidth_;
    int left_;
};

Colour Darker(Colour c) {
    return {static_cast<uint8_t>(c.r * 2 / 3), static_cast<uint8_t>(c.g * 2 / 3),
            static_cast<uint8_t>(c.b * 2 / 3)};
}

Colour Lighter(Colour c) {
    return {static_cast<uint8_t>(c.r + (255 - c.r) / 2), static_cast<uint8_t>(c.g + (255 - c.g) / 2),
            static_cast<uint8_t>(c.b + (255 - c.b) / 2)};
}

void DrawTree(IconCanvas& c, Colour leaves) {
    for (int row = 0; row < 10; ++row) {
        int half = row / 2 + 1;
        c.Fill(8 - half, 1 + row, 7 + half, 1 + row, row % 2 ? leaves : Darker(leaves));
    }
    c.Fill(6, 11, 9, 14, kTrunk);
}

void DrawPerson(IconCanvas& c, int dx, Colour clothes) {
    c.Disc(16 + 2 * dx, 10, 4, kSkin);
    c.Box(3 + dx, 10, 12 + dx, 15, clothes);
}

// "?" from a 5 x 6 pattern drawn two pixels per dot, top left at (x, y).
void DrawQuestionMark(IconCanvas& c, int x, int y, Colour ink) {
    static constexpr std::array<const char*, 6> rows{".###.", "#...#", "...#.", "..#..", ".....", "..#.."};
    for (int r = 0; r < 6; ++r)
        for (int k = 0; k < 5; ++k)
            if (rows[r][k] == '#')
                c.Fill(x + 2 * k, y + 2 * r, x + 2 * k + 1, y + 2 * r + 1, ink);
}

void DrawBadge(IconCanvas& c, Badge badge) {
    switch (badge) {
    case Badge::None:
        return;
    case Badge::Posix: // a small black and yellow plate
        c.Box(9, 9, 15, 15, {20, 20, 20});
        c.Fill(11, 11, 13, 13, kGold);
        return;
    case Badge::Apple: // a red fruit with a green leaf
        c.Disc(25, 25, 3, {220, 30, 40}, false);
        c.Fill(12, 8, 13, 9, {40, 170, 40});
        return;
    }
}

void DrawIcon(IconCanvas& c, const ClassIcon& icon) {
    const Colour k = icon.colour;
    switch (icon.glyph) {
    case Glyph::TreeRoot:
        DrawTree(c, k);
        c.Disc(16, 4, 2, kGold, false);
        c.Fill(2, 15, 13, 15, kOutline);
        break;
    case Glyph::Tree:
        DrawTree(c, k);
        break;
    case Glyph::Country:
        c.Fill(2, 1, 3, 15, kOutline);
        c.Fill(4, 2, 14, 4, k);
        c.Fill(4, 5, 14, 6, kWhite);
        c.Fill(4, 7, 14, 9, Darker(k));
        c.Frame(4, 2, 14, 9, kOutline);
        break;
    case Glyph::Organization:
        c.Box(2, 2, 13, 15, k);
        for (int y = 4; y <= 10; y += 3)
            for (int x = 4; x <= 10; x += 3)
                c.Fill(x, y, x + 1, y + 1, Lighter(Lighter(k)));
        c.Fill(7, 12, 8, 15, kOutline);
        break;
    case Glyph::OrganizationalUnit:
        c.Box(1, 3, 7, 5, Darker(k));
        c.Box(1, 5, 14, 14, k);
        break;
    case Glyph::Locality:
        c.Disc(16, 11, 5, k);
        c.Disc(16, 11, 2, kWhite, false);
        c.Line(5, 9, 8, 15, kOutline);
        c.Line(10, 9, 8, 15, kOutline);
        c.Line(6, 9, 8, 13, k);
        c.Line(9, 9, 8, 13, k);
        break;
    case Glyph::Domain:
        for (int r = 0; r < 7; ++r) {
            c.Fill(7 - r, 1 + r, 8 + r, 1 + r, k);
            c.Fill(7 - r, 14 - r, 8 + r, 14 - r, Darker(k));
        }
        break;
    case Glyph::Volume:
        c.Box(2, 4, 13, 13, k);
        c.Fill(3, 2, 12, 5, Lighter(k));
        c.Frame(2, 2, 13, 5, kOutline);
        c.Fill(10, 10, 11, 11, {40, 200, 40});
        break;
    case Glyph::Person:
        DrawPerson(c, 0, k);
        break;
    case Glyph::Group:
        DrawPerson(c, 2, Darker(k));
        DrawPerson(c, -2, k);
        break;
    case Glyph::Alias:
        c.Box(2, 1, 13, 14, kWhite);
        c.Line(4, 11, 10, 5, k);
        c.Line(5, 11, 11, 5, k);
        c.Fill(7, 4, 11, 5, k);
        c.Fill(10, 4, 11, 8, k);
        break;
    case Glyph::Server:
        c.Box(3, 0, 12, 15, {200, 200, 205});
        c.Fill(4, 2, 11, 6, k);
        c.Fill(5, 9, 10, 9, kOutline);
        c.Fill(5, 11, 10, 11, kOutline);
        c.Fill(9, 13, 10, 13, {40, 200, 40});
        break;
    case Glyph::Locator:
        c.Disc(16, 16, 7, kWhite);
        c.Line(8, 2, 8, 13, k);
        c.Line(7, 2, 7, 13, k);
        c.Line(2, 7, 13, 7, k);
        c.Line(2, 8, 13, 8, k);
        c.Disc(16, 16, 2, Darker(k), false);
        break;
    case Glyph::Zone:
        c.Disc(16, 16, 7, Lighter(k));
        c.Line(1, 7, 14, 7, k);
        c.Line(1, 8, 14, 8, k);
        c.Ring(16, 16, 3, k);
        c.Line(7, 1, 7, 14, k);
        break;
    case Glyph::RecordSet:
        c.Box(2, 1, 13, 14, kWhite);
        for (int y = 3; y <= 12; y += 3)
            c.Fill(4, y, 11, y + 1, k);
        break;
    case Glyph::Subnet:
        c.Line(7, 3, 3, 12, kOutline);
        c.Line(8, 3, 12, 12, kOutline);
        c.Line(3, 12, 12, 12, kOutline);
        c.Box(5, 1, 10, 5, k);
        c.Box(1, 10, 6, 14, k);
        c.Box(9, 10, 14, 14, k);
        break;
    case Glyph::AddressRange:
        c.Box(1, 5, 14, 10, Lighter(k));
        c.Fill(4, 6, 11, 9, k);
        c.Fill(1, 3, 2, 12, kOutline);
        c.Fill(13, 3, 14, 12, kOutline);
        break;
    case Glyph::SubnetPool:
        for (int i = 0; i < 3; ++i)
            c.Box(1 + i * 2, 10 - i * 4, 10 + i * 2, 14 - i * 4, i == 1 ? Lighter(k) : k);
        break;
    case Glyph::AddressConfiguration:
        c.Box(1, 3, 14, 10, k);
        c.Fill(3, 5, 6, 8, kOutline);
        c.Fill(9, 5, 12, 6, kWhite);
        for (int x = 3; x <= 12; x += 3)
            c.Fill(x, 11, x + 1, 14, kGold);
        break;
    case Glyph::Unknown:
        c.Box(1, 1, 14, 14, Lighter(k));
        DrawQuestionMark(c, 3, 2, kOutline);
        break;
    case Glyph::DirectoryMap:
        c.Box(1, 2, 14, 13, Lighter(Lighter(k)));
        for (int x = 5; x <= 10; x += 5)
            c.Line(x, 3, x, 12, k);
        for (int y = 6; y <= 9; y += 3)
            c.Line(2, y, 13, y, k);
        c.Fill(11, 10, 13, 12, {200, 40, 40});
        break;
    }
    DrawBadge(c, icon.badge);
}

} // namespace

const IconCatalogue& IconCatalogue::Instance() {
    static const IconCatalogue catalogue;
    return catalogue;
}

IconCatalogue::IconCatalogue() {
    const int count = static_cast<int>(kClassIcons.size());
    const int width = count * kSize;
    pixels_.assign(static_cast<size_t>(width) * kSize * 4, 0); // transparent
    for (int i = 0; i < count; ++i) {
        IconCanvas canvas(pixels_, width, i);
        DrawIcon(canvas, kClassIcons[static_cast<size_t>(i)]);
    }
    strip_ = TolvexIconStrip{width, kSize, count, pixels_.data()};
}

int IconCatalogue::Count() const {
    return static_cast<int>(kClassIcons.size());
}

int IconCatalogue::NumberOf(std::string_view className) const {
    for (size_t i = 0; i < kClassIcons.size(); ++i)
        if (SameIgnoringCase(className, kClassIcons[i].className))
            return static_cast<int>(i);
    return -1;
}

const char* IconCatalogue::NameOf(int number) const {
    if (number < 0 || number >= Count())
        return nullptr;
    return kClassIcons[static_cast<size_t>(number)].className;
}

std::vector<uint8_t> IconCatalogue::IconPixels(int number) const {
    std::vector<uint8_t> icon;
    if (number < 0 || number >= Count())
        return icon;
    icon.reserve(kSize * kSize * 4);
    const size_t rowBytes = static_cast<size_t>(strip_.width) * 4;
    for (int y = 0; y < kSize; ++y) {
        auto first = pixels_.begin() + static_cast<std::ptrdiff_t>(y * rowBytes + number * kSize * 4);
        icon.insert(icon.end(), first, first + kSize * 4);
    }
    return icon;
}

} // namespace tolvex
