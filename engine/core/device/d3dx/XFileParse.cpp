#include "d3dx/XFileParse.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

namespace d3dx {
namespace detail {
namespace {

// ---------------------------------------------------------------------------
// Pre-scan. A lexer gives the file's tokens in either encoding, and a walk
// reads them in the order and with the reads the importer uses (counts,
// numbers, separators, names, braces), so that the counts it checks are
// the ones the importer will size arrays from and the indices the ones it
// will follow. What the importer would read differently from the walk (a
// number, a string or a name the two tokenize apart, a separator where an
// object name belongs, numbers left over in a binary list) is refused, as
// is any count the rest of the file cannot hold and any index past its
// array.

enum class Tk { End, Name, String, Open, Close, Sep, Number, IntList, FloatList, Guid, Template, Other };

struct Token {
    Tk kind = Tk::End;
    const char* text = nullptr;  // Name: its characters
    size_t length = 0;
    double value = 0;        // Number
    bool integer = false;    // Number: digits only, perhaps after '-'
    bool commaJoin = false;  // Number: digits a decimal comma and more digits follow
    bool semicolon = false;  // String (text): a ';' right after the closing quote
    char sep = 0;            // Sep: ';' or ','

    uint32_t count = 0;  // IntList, FloatList: values
    const uint8_t* values = nullptr;

    bool Is(const char* name) const
    {
        return kind == Tk::Name && std::strlen(name) == length && std::memcmp(text, name, length) == 0;
    }
};

struct Refused {
    std::string why;
};

[[noreturn]] void Refuse(const std::string& why)
{
    throw Refused{why};
}

uint32_t Word32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Digit(char c)
{
    return c >= '0' && c <= '9';
}

// The importer's delimiters: they end a name and are tokens of their own.
bool Delimiter(char c)
{
    return c == '{' || c == '}' || c == ';' || c == ',';
}

bool Space(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

class Lexer {
public:
    Lexer(const uint8_t* begin, const uint8_t* end, bool binary, size_t floatSize)
        : p_(begin), end_(end), binary_(binary), floatSize_(floatSize)
    {
    }

    bool Binary() const { return binary_; }
    size_t FloatSize() const { return floatSize_; }
    size_t Left() const { return size_t(end_ - p_); }

    const Token& Peek()
    {
        if (!peeked_) {
            next_ = binary_ ? ReadBinary() : ReadText();
            peeked_ = true;
        }
        return next_;
    }

    Token Take()
    {
        Peek();
        peeked_ = false;
        return next_;
    }

private:
    Token ReadText()
    {
        const char* p = reinterpret_cast<const char*>(p_);
        const char* end = reinterpret_cast<const char*>(end_);
        Token t;
        for (;;) {
            while (p < end && Space(*p)) ++p;
            // A comment runs to the end of the line, which the importer
            // ends at '\n' or '\r'.
            if (p < end && (*p == '#' || (*p == '/' && p + 1 < end && p[1] == '/'))) {
                while (p < end && *p != '\n' && *p != '\r') ++p;
                continue;
            }
            break;
        }
        if (p >= end) {
            p_ = end_;
            return t;
        }
        const char c = *p;
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) Refuse("a control character in a text file");
        if (c == '{' || c == '}') {
            t.kind = c == '{' ? Tk::Open : Tk::Close;
            ++p;
        } else if (c == ';' || c == ',') {
            t.kind = Tk::Sep;
            t.sep = c;
            ++p;
        } else if (c == '"') {
            const char* q = p + 1;
            for (; q < end && *q != '"'; ++q) {
                const char prev = q[-1];
                const bool tokenStart = Space(prev) || Delimiter(prev);
                if (*q == '{' || *q == '}' || *q == '\n' || *q == '\r' ||
                    (tokenStart && (*q == '#' || (*q == '/' && q + 1 < end && q[1] == '/'))))
                    Refuse("a string the reader would split (a brace, a line break or a comment in it)");
            }
            if (q >= end) Refuse("a string without its closing quote");
            t.kind = Tk::String;
            t.semicolon = q + 1 < end && q[1] == ';';
            p = q + 1;
        } else if (c == '<') {
            const char* q = p + 1;
            while (q < end && (std::isxdigit(static_cast<unsigned char>(*q)) || *q == '-')) ++q;
            if (q >= end || *q != '>') Refuse("a GUID the reader would read differently");
            t.kind = Tk::Guid;
            p = q + 1;
        } else if (Digit(c) || c == '-' || c == '+' || c == '.') {
            p = Number(p, end, t);
        } else {
            const char* q = p;
            while (q < end && !Space(*q) && !Delimiter(*q)) {
                const unsigned char v = static_cast<unsigned char>(*q);
                if (v < 0x20 || v == 0x7f) Refuse("a control character in a text file");
                if (*q == '"' || *q == '<' || *q == '>') Refuse("a name the reader would read differently");
                ++q;
            }
            t.kind = Tk::Name;
            t.text = p;
            t.length = size_t(q - p);
            if (t.Is("template")) t.kind = Tk::Template;
            p = q;
        }
        p_ = reinterpret_cast<const uint8_t*>(p);
        return t;
    }

    // Integers as -?[0-9]+, reals as [-+]?(digits[.digits*] | .digits)[e[-+]digits];
    // a number runs to white space, a delimiter or the end of the file.
    static const char* Number(const char* p, const char* end, Token& t)
    {
        const char* q = p;
        auto digits = [&]() {
            const char* from = q;
            while (q < end && Digit(*q)) ++q;
            return size_t(q - from);
        };
        const bool minus = *q == '-';
        const bool sign = minus || *q == '+';
        if (sign) ++q;
        const size_t whole = digits();
        bool point = false;
        size_t fraction = 0;
        if (q < end && *q == '.') {
            point = true;
            ++q;
            fraction = digits();
        }
        bool exponent = false;
        if ((whole || fraction) && q < end && (*q == 'e' || *q == 'E')) {
            exponent = true;
            ++q;
            if (q < end && (*q == '-' || *q == '+')) ++q;
            if (!digits()) Refuse("number text the reader would read differently");
        }
        if (!whole && !fraction) Refuse("number text the reader would read differently");
        if (q < end && !Space(*q) && !Delimiter(*q)) Refuse("number text the reader would read differently");
        if (q - p > 64) Refuse("a number too long to read");
        char buffer[72];
        std::memcpy(buffer, p, size_t(q - p));
        buffer[q - p] = '\0';
        t.kind = Tk::Number;
        t.value = std::strtod(buffer, nullptr);
        t.integer = !point && !exponent && (!sign || minus);
        // The importer reads "1,5" as one real where it expects one.
        t.commaJoin = !point && !exponent && q + 1 < end && *q == ',' && Digit(q[1]);
        return q;
    }

    Token ReadBinary()
    {
        Token t;
        if (end_ - p_ < 2) {
            p_ = end_;
            return t;
        }
        const unsigned code = unsigned(p_[0]) | unsigned(p_[1]) << 8;
        p_ += 2;
        const size_t left = Left();
        switch (code) {
            case 1:    // name: length, characters
            case 2: {  // string: length, characters, the separator token
                if (left < 4) Refuse("a name or string cut off by the end of the file");
                const uint32_t n = Word32(p_);
                const size_t extra = code == 2 ? 2 : 0;
                if (n > left - 4 || left - 4 - n < extra)
                    Refuse("a name or string of " + std::to_string(n) + " bytes runs past the end of the file");
                if (code == 1 && n == 0) Refuse("an empty name");
                t.kind = code == 1 ? Tk::Name : Tk::String;
                t.text = reinterpret_cast<const char*>(p_ + 4);
                t.length = n;
                p_ += 4 + n;
                if (code == 2) {
                    // The importer steps over these two bytes unread.
                    const unsigned sep = unsigned(p_[0]) | unsigned(p_[1]) << 8;
                    if (sep != 0x13 && sep != 0x14) Refuse("a string not followed by its separator");
                    p_ += 2;
                }
                if (code == 1 && t.Is("template")) t.kind = Tk::Template;
                break;
            }
            case 3:  // one integer
                if (left < 4) Refuse("an integer cut off by the end of the file");
                t.kind = Tk::IntList;
                t.count = 1;
                t.values = p_;
                p_ += 4;
                break;
            case 5:  // GUID
                if (left < 16) Refuse("a GUID cut off by the end of the file");
                t.kind = Tk::Guid;
                p_ += 16;
                break;
            case 6:    // integer list: count, values
            case 7: {  // real list: count, values of the file's real size
                if (left < 4) Refuse("a list cut off by the end of the file");
                const uint32_t n = Word32(p_);
                const size_t unit = code == 6 ? 4 : floatSize_;
                if (n > (left - 4) / unit)
                    Refuse("a list of " + std::to_string(n) + " values needs more bytes than the file holds");
                t.kind = code == 6 ? Tk::IntList : Tk::FloatList;
                t.count = n;
                t.values = p_ + 4;
                p_ += 4 + size_t(n) * unit;
                break;
            }
            case 0x0a:
                t.kind = Tk::Open;
                break;
            case 0x0b:
                t.kind = Tk::Close;
                break;
            case 0x13:
            case 0x14:
                t.kind = Tk::Sep;
                t.sep = code == 0x13 ? ',' : ';';
                break;
            case 0x1f:
                t.kind = Tk::Template;
                break;
            default:
                // Other punctuation and the type words of template definitions.
                if ((code >= 0x0c && code <= 0x12) || (code >= 0x28 && code <= 0x34)) {
                    t.kind = Tk::Other;
                    break;
                }
                Refuse("an unknown binary token " + std::to_string(code));
        }
        return t;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    bool binary_;
    size_t floatSize_;
    bool peeked_ = false;
    Token next_;
};

// Frames may nest; deeper than this is refused before the importer's
// recursion follows it.
constexpr int kMaxFrameDepth = 64;

class Walker {
public:
    explicit Walker(Lexer& lex) : lex_(lex) {}

    void File()
    {
        for (;;) {
            const Token t = ObjectToken();
            if (t.kind == Tk::End) return;
            if (t.kind == Tk::Template)
                Template();
            else if (t.Is("Frame"))
                Frame(1);
            else if (t.Is("Mesh"))
                Mesh();
            else if (t.Is("AnimTicksPerSecond")) {
                Head();
                Int();
                CloseBrace();
            } else if (t.Is("AnimationSet"))
                AnimationSet();
            else if (t.Is("Material"))
                Material();
            else
                Unknown(t);
        }
    }

private:
    // The next object's name (or a closing brace) where the importer reads
    // one: a binary list it has not read to its end, or anything but a name
    // or a brace, would put the two out of step.
    Token ObjectToken()
    {
        if (left_ > 0) Refuse("a number list runs on past its object's data");
        const Token t = lex_.Take();
        if (t.kind == Tk::Name || t.kind == Tk::Close || t.kind == Tk::End || t.kind == Tk::Template ||
            t.kind == Tk::Open || t.kind == Tk::Sep)
            return t;
        Refuse("data where an object belongs");
    }

    // Objects an importer object does not know it skips by their braces.
    void Unknown(const Token& t)
    {
        if (t.kind != Tk::Name)
            Refuse(t.kind == Tk::Close ? "a closing brace too many" : "data where an object belongs");
        Head();
        for (size_t open = 1; open > 0;) {
            const Token u = lex_.Take();
            if (u.kind == Tk::End) Refuse("the file ends inside an object");
            if (u.kind == Tk::Open) ++open;
            if (u.kind == Tk::Close) --open;
        }
    }

    // An object's head after its type: an optional name, then the brace.
    void Head()
    {
        Token t = lex_.Take();
        if (t.kind == Tk::Name) t = lex_.Take();
        if (t.kind != Tk::Open) Refuse("an object without its opening brace");
    }

    void CloseBrace()
    {
        if (left_ > 0) Refuse("a number list runs on past its object's data");
        if (lex_.Take().kind != Tk::Close) Refuse("an object without its closing brace");
    }

    // A template: its GUID, then member words up to its closing brace.
    void Template()
    {
        Head();
        if (lex_.Take().kind != Tk::Guid) Refuse("a template without its GUID");
        for (;;) {
            const Token t = lex_.Take();
            if (t.kind == Tk::Close) return;
            if (t.kind == Tk::End) Refuse("the file ends inside a template");
            if (t.kind == Tk::Open) Refuse("a brace inside a template");
        }
    }

    // Numbers, read as the importer reads them: in text each with its
    // separator after it, in binary from a list of the matching kind.
    double Value(bool integer, const std::string& what)
    {
        if (lex_.Binary()) {
            if (left_ == 0) {
                const Token t = lex_.Take();
                if (t.kind != (integer ? Tk::IntList : Tk::FloatList) || t.count == 0)
                    Refuse(std::string("no ") + (integer ? "integer" : "real") + " list where the " + what +
                           " belongs");
                list_ = t.values;
                left_ = t.count;
            }
            --left_;
            double v = 0;
            if (integer) {
                v = double(Word32(list_));
                list_ += 4;
            } else if (lex_.FloatSize() == 4) {
                float f;
                std::memcpy(&f, list_, 4);
                v = double(f);
                list_ += 4;
            } else {
                std::memcpy(&v, list_, 8);
                list_ += 8;
            }
            return v;
        }
        const Token t = lex_.Take();
        if (t.kind != Tk::Number) Refuse("no number where the " + what + " belongs");
        if (integer && !t.integer) Refuse("the " + what + " is not a whole number");
        if (!integer && t.commaJoin) Refuse("a number the reader would read with a decimal comma");
        if (lex_.Take().kind != Tk::Sep) Refuse("a number without its separator");
        return t.value;
    }

    void Real() { Value(false, "value"); }
    void Reals(uint32_t n)
    {
        for (uint32_t i = 0; i < n; ++i) Real();
    }
    void Int() { Value(true, "value"); }

    // A count or index: a whole number from 0 to 2^32 - 1.
    uint32_t Unsigned(const std::string& what)
    {
        const double v = Value(true, what);
        if (!(v >= 0) || v > 4294967295.0 || v != std::floor(v)) Refuse("the " + what + " is not a count");
        return uint32_t(v);
    }

    // A count of items of `ints` integers and `reals` reals each, which
    // must fit in what the file has left.
    uint32_t Count(const char* what, size_t ints, size_t reals)
    {
        const uint32_t n = Unsigned(std::string(what) + " count");
        const size_t each = lex_.Binary() ? ints * 4 + reals * lex_.FloatSize() : 2 * (ints + reals);
        if (each && uint64_t(n) * each > lex_.Left() + 8 * uint64_t(left_) + 8)
            Refuse("declares " + std::to_string(n) + " " + what + ", more than the rest of the file holds");
        return n;
    }

    // The optional separator the importer steps over after a vector.
    void MaybeSeparator()
    {
        if (!lex_.Binary() && lex_.Peek().kind == Tk::Sep) lex_.Take();
    }

    void Vector(int n)
    {
        Reals(n);
        MaybeSeparator();
    }

    void Frame(int depth)
    {
        if (depth > kMaxFrameDepth) Refuse("frames nested deeper than " + std::to_string(kMaxFrameDepth));
        Head();
        for (;;) {
            const Token t = ObjectToken();
            if (t.kind == Tk::End) Refuse("the file ends inside a frame");
            if (t.kind == Tk::Close) return;
            if (t.Is("Frame")) {
                Frame(depth + 1);
            } else if (t.Is("FrameTransformMatrix")) {
                Head();
                Reals(16);
                Semicolon();
                CloseBrace();
            } else if (t.Is("Mesh")) {
                Mesh();
            } else {
                Unknown(t);
            }
        }
    }

    void Semicolon()
    {
        if (lex_.Binary()) return;
        const Token t = lex_.Take();
        if (t.kind != Tk::Sep || t.sep != ';') Refuse("a semicolon missing");
    }

    void Mesh()
    {
        Head();
        const uint32_t vertices = Count("vertices", 0, 3);
        for (uint32_t i = 0; i < vertices; ++i) Vector(3);
        const uint32_t faces = Count("faces", 1, 0);
        std::vector<uint32_t> corners(faces);
        for (uint32_t f = 0; f < faces; ++f) {
            corners[f] = Count("face indices", 1, 0);
            for (uint32_t k = 0; k < corners[f]; ++k) {
                const uint32_t v = Unsigned("face index");
                if (v >= vertices)
                    Refuse("face " + std::to_string(f) + " uses vertex " + std::to_string(v) + " of " +
                           std::to_string(vertices));
            }
            MaybeSeparator();
        }
        bool materials = false;
        int coordSets = 0, colourSets = 0;
        for (;;) {
            const Token t = ObjectToken();
            if (t.kind == Tk::End) Refuse("the file ends inside a mesh");
            if (t.kind == Tk::Close) return;
            if (t.Is("MeshNormals")) {
                Normals(corners);
            } else if (t.Is("MeshTextureCoords")) {
                if (++coordSets > 8) Refuse("more than 8 sets of texture coordinates");
                Head();
                const uint32_t n = Count("texture coordinates", 0, 2);
                if (n != vertices)
                    Refuse(std::to_string(n) + " texture coordinates for " + std::to_string(vertices) + " vertices");
                for (uint32_t i = 0; i < n; ++i) Vector(2);
                CloseBrace();
            } else if (t.Is("MeshVertexColors")) {
                if (++colourSets > 8) Refuse("more than 8 sets of vertex colours");
                Colours(vertices);
            } else if (t.Is("MeshMaterialList")) {
                // A second list would add per-face indices past the faces.
                if (materials) Refuse("a mesh with two material lists");
                materials = true;
                MaterialList(faces);
            } else if (t.Is("XSkinMeshHeader")) {
                Head();
                for (int i = 0; i < 3; ++i) Int();
                CloseBrace();
            } else if (t.Is("SkinWeights")) {
                SkinWeights(vertices);
            } else {
                Unknown(t);
            }
        }
    }

    // The importer reads each corner's normal through the face's corners.
    void Normals(const std::vector<uint32_t>& corners)
    {
        Head();
        const uint32_t normals = Count("normals", 0, 3);
        for (uint32_t i = 0; i < normals; ++i) Vector(3);
        const uint32_t faces = Count("normal faces", 1, 0);
        if (faces != corners.size())
            Refuse(std::to_string(faces) + " normal faces for " + std::to_string(corners.size()) + " faces");
        for (uint32_t f = 0; f < faces; ++f) {
            const uint32_t n = Count("normal face indices", 1, 0);
            if (n != corners[f])
                Refuse("normal face " + std::to_string(f) + " has " + std::to_string(n) + " corners, its face " +
                       std::to_string(corners[f]));
            for (uint32_t k = 0; k < n; ++k) {
                const uint32_t i = Unsigned("normal index");
                if (i >= normals)
                    Refuse("normal face " + std::to_string(f) + " uses normal " + std::to_string(i) + " of " +
                           std::to_string(normals));
            }
            MaybeSeparator();
        }
        MaybeSeparator();
        CloseBrace();
    }

    void Colours(uint32_t vertices)
    {
        Head();
        const uint32_t n = Count("vertex colours", 1, 4);
        if (n != vertices) Refuse(std::to_string(n) + " vertex colours for " + std::to_string(vertices) + " vertices");
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t v = Unsigned("vertex colour index");
            if (v >= vertices)
                Refuse("vertex colour " + std::to_string(i) + " is for vertex " + std::to_string(v) + " of " +
                       std::to_string(vertices));
            Vector(4);
            MaybeSeparator();
        }
        CloseBrace();
    }

    void MaterialList(uint32_t faces)
    {
        Head();
        const uint32_t declared = Unsigned("materials count");
        const uint32_t n = Count("material indices", 1, 0);
        // One index stands for every face; any other number must be one per face.
        if (n != faces && (n != 1 || faces == 0))
            Refuse(std::to_string(n) + " material indices for " + std::to_string(faces) + " faces");
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t m = Unsigned("material index");
            if (m >= declared)
                Refuse("face " + std::to_string(i) + " has material index " + std::to_string(m) + " of " +
                       std::to_string(declared));
        }
        uint32_t held = 0;
        for (;;) {
            const Token t = ObjectToken();
            if (t.kind == Tk::End) Refuse("the file ends inside a material list");
            if (t.kind == Tk::Close) break;
            if (t.kind == Tk::Sep && t.sep == ';') continue;  // the importer passes over these here
            if (t.kind == Tk::Open) {
                Reference();
                ++held;
            } else if (t.Is("Material")) {
                Material();
                ++held;
            } else {
                Unknown(t);
            }
        }
        if (held < declared)
            Refuse("the material list declares " + std::to_string(declared) + " materials and holds " +
                   std::to_string(held));
    }

    // "{ Name }", after its opening brace.
    void Reference()
    {
        if (lex_.Take().kind != Tk::Name || lex_.Take().kind != Tk::Close) Refuse("a reference that is not { name }");
    }

    void Material()
    {
        Head();
        Vector(4);
        Real();
        Vector(3);
        Vector(3);
        for (;;) {
            const Token t = ObjectToken();
            if (t.kind == Tk::End) Refuse("the file ends inside a material");
            if (t.kind == Tk::Close) return;
            if (t.Is("TextureFilename") || t.Is("TextureFileName") || t.Is("NormalmapFilename") ||
                t.Is("NormalmapFileName")) {
                Head();
                String();
                MaybeSeparator();
                CloseBrace();
            } else {
                Unknown(t);
            }
        }
    }

    // A quoted string and the ';' right after it (in binary, the string token).
    void String()
    {
        const Token t = lex_.Take();
        if (t.kind != Tk::String) Refuse("no string where a file or bone name belongs");
        if (!lex_.Binary() && (!t.semicolon || lex_.Take().kind != Tk::Sep)) Refuse("a string without its semicolon");
    }

    void SkinWeights(uint32_t vertices)
    {
        Head();
        String();
        MaybeSeparator();
        const uint32_t n = Count("weights", 1, 1);
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t v = Unsigned("weight vertex");
            if (v >= vertices)
                Refuse("skin weight " + std::to_string(i) + " is for vertex " + std::to_string(v) + " of " +
                       std::to_string(vertices));
        }
        Reals(n);
        Reals(16);
        Semicolon();
        CloseBrace();
    }

    void AnimationSet()
    {
        Head();
        for (;;) {
            const Token t = ObjectToken();
            if (t.kind == Tk::End) Refuse("the file ends inside an animation set");
            if (t.kind == Tk::Close) return;
            if (t.Is("Animation"))
                Animation();
            else
                Unknown(t);
        }
    }

    void Animation()
    {
        Head();
        for (;;) {
            const Token t = ObjectToken();
            if (t.kind == Tk::End) Refuse("the file ends inside an animation");
            if (t.kind == Tk::Close) return;
            if (t.kind == Tk::Open)
                Reference();
            else if (t.Is("AnimationKey"))
                AnimationKey();
            else
                Unknown(t);
        }
    }

    void AnimationKey()
    {
        Head();
        const uint32_t type = Unsigned("key type");
        const uint32_t keys = Count("animation keys", 2, 3);
        const uint32_t values[] = {4, 3, 3, 16, 16};
        if (type > 4) Refuse("an unknown animation key type " + std::to_string(type));
        for (uint32_t k = 0; k < keys; ++k) {
            Int();
            if (Unsigned("key values") != values[type]) Refuse("an animation key with the wrong number of values");
            if (type == 1 || type == 2) {
                Vector(3);
            } else {
                Reals(values[type]);
                Semicolon();
            }
            Separator();
        }
        CloseBrace();
    }

    void Separator()
    {
        if (!lex_.Binary() && lex_.Take().kind != Tk::Sep) Refuse("a separator missing");
    }

    Lexer& lex_;
    const uint8_t* list_ = nullptr;  // binary: the next value of the current list
    uint32_t left_ = 0;              // binary: values of the current list not yet read
};

struct Face {
    uint32_t attribute;
    uint32_t v[3];
};

// One output vertex, compared bit for bit so identical corners are shared.
struct VertexKey {
    float p[3], n[3], t[2];
    bool operator<(const VertexKey& o) const { return std::memcmp(this, &o, sizeof *this) < 0; }
};

class Merger {
public:
    Merger(const aiScene* scene, XMeshData& out) : scene_(scene), out_(out) {}

    void Walk(const aiNode* node, const aiMatrix4x4& parent, int depth)
    {
        if (!node || depth > 256) return;
        aiMatrix4x4 world = parent * node->mTransformation;
        aiMatrix3x3 normalMatrix(world);
        normalMatrix.Inverse().Transpose();
        for (unsigned m = 0; m < node->mNumMeshes; ++m) {
            unsigned index = node->mMeshes[m];
            if (index < scene_->mNumMeshes) AddMesh(scene_->mMeshes[index], world, normalMatrix);
        }
        for (unsigned c = 0; c < node->mNumChildren; ++c) Walk(node->mChildren[c], world, depth + 1);
    }

    void Finish()
    {
        std::stable_sort(faces_.begin(), faces_.end(),
                         [](const Face& a, const Face& b) { return a.attribute < b.attribute; });
        out_.indices.reserve(faces_.size() * 3);
        out_.attributes.reserve(faces_.size());
        for (const Face& f : faces_) {
            out_.attributes.push_back(f.attribute);
            out_.indices.insert(out_.indices.end(), f.v, f.v + 3);
        }
    }

private:
    uint32_t Vertex(const aiMesh* mesh, unsigned i, const aiMatrix4x4& world, const aiMatrix3x3& nm)
    {
        VertexKey key{};
        aiVector3D p = world * mesh->mVertices[i];
        key.p[0] = p.x;
        key.p[1] = p.y;
        key.p[2] = p.z;
        if (out_.hasNormals && mesh->mNormals) {
            aiVector3D n = nm * mesh->mNormals[i];
            n.NormalizeSafe();
            key.n[0] = n.x;
            key.n[1] = n.y;
            key.n[2] = n.z;
        }
        if (out_.hasTexCoords && mesh->mTextureCoords[0]) {
            key.t[0] = mesh->mTextureCoords[0][i].x;
            key.t[1] = mesh->mTextureCoords[0][i].y;
        }
        auto found = shared_.find(key);
        if (found != shared_.end()) return found->second;
        uint32_t index = uint32_t(out_.positions.size() / 3);
        shared_.emplace(key, index);
        out_.positions.insert(out_.positions.end(), key.p, key.p + 3);
        if (out_.hasNormals) out_.normals.insert(out_.normals.end(), key.n, key.n + 3);
        if (out_.hasTexCoords) out_.texCoords.insert(out_.texCoords.end(), key.t, key.t + 2);
        return index;
    }

    void AddMesh(const aiMesh* mesh, const aiMatrix4x4& world, const aiMatrix3x3& nm)
    {
        if (!mesh || !mesh->mVertices) return;
        uint32_t attribute = mesh->mMaterialIndex;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices < 3 || !face.mIndices) continue;
            bool valid = true;
            for (unsigned k = 0; k < face.mNumIndices; ++k) valid = valid && face.mIndices[k] < mesh->mNumVertices;
            if (!valid) continue;
            // Polygons become fans around their first corner.
            uint32_t v0 = Vertex(mesh, face.mIndices[0], world, nm);
            uint32_t prev = Vertex(mesh, face.mIndices[1], world, nm);
            for (unsigned k = 2; k < face.mNumIndices; ++k) {
                uint32_t next = Vertex(mesh, face.mIndices[k], world, nm);
                faces_.push_back(Face{attribute, {v0, prev, next}});
                prev = next;
            }
        }
    }

    const aiScene* scene_;
    XMeshData& out_;
    std::vector<Face> faces_;
    std::map<VertexKey, uint32_t> shared_;
};

void Colour(const aiMaterial* m, const char* key, unsigned type, unsigned index, float* rgba)
{
    aiColor4D c;
    if (m->Get(key, type, index, c) == AI_SUCCESS) {
        rgba[0] = c.r;
        rgba[1] = c.g;
        rgba[2] = c.b;
        rgba[3] = c.a;
    }
}

}  // namespace

bool PrescanXFile(const uint8_t* data, size_t size, std::string* error)
{
    if (!data || size < 16) return true;
    auto refuse = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    const char* format = reinterpret_cast<const char*>(data) + 8;
    const bool text = std::memcmp(format, "txt ", 4) == 0;
    const bool binary = std::memcmp(format, "bin ", 4) == 0;
    // A compressed file's content is out of the pre-scan's sight, so the
    // importer never sees one.
    if (std::memcmp(format, "tzip", 4) == 0 || std::memcmp(format, "bzip", 4) == 0)
        return refuse(".X file not read: compressed .X files (tzip, bzip) are not supported");
    if (!text && !binary) return refuse("corrupt .X file: an unknown format (neither 'txt ' nor 'bin ')");
    size_t floatSize = 0;
    if (std::memcmp(data + 12, "0032", 4) == 0) floatSize = 4;
    if (std::memcmp(data + 12, "0064", 4) == 0) floatSize = 8;
    if (!floatSize) return refuse("corrupt .X file: a real size other than 0032 or 0064");
    const uint8_t* begin = data + 16;
    const uint8_t* end = data + size;
    if (text) {
        // The importer starts reading text on the line after the header.
        while (begin < end && *begin != '\n' && *begin != '\r') ++begin;
        if (begin < end) ++begin;
    }
    try {
        Lexer lex(begin, end, binary, floatSize);
        Walker(lex).File();
    } catch (const Refused& r) {
        return refuse("corrupt .X file: " + r.why);
    }
    return true;
}

bool AcceptXFile(const uint8_t* data, size_t size, std::string* error)
{
    const char* why = nullptr;
    if (!data || size < 16)
        why = "not an .X file: too short";
    else if (std::memcmp(data, "xof ", 4) != 0)
        why = "not an .X file: no 'xof ' header";
    if (why) {
        if (error) *error = why;
        return false;
    }
    return PrescanXFile(data, size, error);
}

bool ParseXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error)
{
    out = XMeshData();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        out = XMeshData();
        return false;
    };
    if (!AcceptXFile(data, size, error)) return false;
    Assimp::Importer importer;
    // Left-handed positions, clockwise winding and v downward as the file
    // has them; polygons are fanned by hand below, so no triangulation here.
    const aiScene* scene =
        importer.ReadFileFromMemory(data, size, aiProcess_ConvertToLeftHanded | aiProcess_ValidateDataStructure, "x");
    if (!scene || !scene->mRootNode) return fail(importer.GetErrorString());
    if (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) return fail("incomplete .X file");

    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        if (!mesh) continue;
        if (mesh->mNormals) out.hasNormals = true;
        if (mesh->mTextureCoords[0]) out.hasTexCoords = true;
        if (mesh->mMaterialIndex >= scene->mNumMaterials) return fail("mesh refers to a missing material");
    }

    Merger merger(scene, out);
    merger.Walk(scene->mRootNode, aiMatrix4x4(), 0);
    merger.Finish();
    if (out.attributes.empty()) return fail("the file holds no triangles");

    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* m = scene->mMaterials[i];
        XMaterial mat;
        if (m) {
            Colour(m, AI_MATKEY_COLOR_DIFFUSE, mat.diffuse);
            Colour(m, AI_MATKEY_COLOR_SPECULAR, mat.specular);
            Colour(m, AI_MATKEY_COLOR_EMISSIVE, mat.emissive);
            mat.specular[3] = 1;
            mat.emissive[3] = 1;
            m->Get(AI_MATKEY_SHININESS, mat.power);
            aiString name;
            if (m->GetTexture(aiTextureType_DIFFUSE, 0, &name) == AI_SUCCESS) {
                mat.hasTexture = true;
                mat.textureFile.assign(name.C_Str());
            }
        }
        out.materials.push_back(mat);
    }
    return true;
}

}  // namespace detail
}  // namespace d3dx
