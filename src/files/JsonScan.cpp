#include "files/JsonScan.h"

#include <algorithm>
#include <vector>

namespace tolvar {

namespace {

// JSON nests no deeper than the parser allows; deeper text is left to its message.
constexpr qsizetype kMaxDepth = 1024;

bool isControl(char32_t code) {
    return code < 0x20 || code == 0x7F;
}

// The pieces of JSON text the scans look at. Text that is not JSON ends the tokens early.
struct Token {
    enum Kind { End, String, Open, Close, Comma, Colon, Scalar, Control } kind = End;
    qsizetype offset = 0;
    bool object = false;      // Open and Close: a brace, not a bracket
    QString text;             // String: the decoded text; Scalar: the text as written
    char32_t controlCode = 0; // Control: the character found in a string
};

class Tokens {
public:
    explicit Tokens(const QByteArray &json) : json_(json) {}

    Token next() {
        skipBlanks();
        if (pos_ >= json_.size())
            return {};
        Token token;
        token.offset = pos_;
        const char c = json_.at(pos_);
        if (c == '"')
            return readString(token);
        if (c == '{' || c == '[' || c == '}' || c == ']') {
            token.kind = (c == '{' || c == '[') ? Token::Open : Token::Close;
            token.object = c == '{' || c == '}';
            ++pos_;
            return token;
        }
        if (c == ',' || c == ':') {
            token.kind = c == ',' ? Token::Comma : Token::Colon;
            ++pos_;
            return token;
        }
        while (pos_ < json_.size() && isScalarByte(json_.at(pos_)))
            ++pos_;
        if (pos_ == token.offset)
            return {}; // not JSON
        token.kind = Token::Scalar;
        token.text = QString::fromLatin1(json_.mid(token.offset, pos_ - token.offset));
        return token;
    }

private:
    static bool isScalarByte(char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '-' || c == '+' || c == '.';
    }

    void skipBlanks() {
        while (pos_ < json_.size() && (json_.at(pos_) == ' ' || json_.at(pos_) == '\n' ||
                                       json_.at(pos_) == '\r' || json_.at(pos_) == '\t'))
            ++pos_;
    }

    Token control(qsizetype offset, char32_t code) {
        Token token;
        token.kind = Token::Control;
        token.offset = offset;
        token.controlCode = code;
        return token;
    }

    // The four hex digits of \uXXXX at pos_; nothing if they are not hex.
    std::optional<char32_t> readHex4() {
        if (json_.size() - pos_ < 4)
            return std::nullopt;
        char32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = json_.at(pos_ + i);
            const char lower = char(c | 0x20);
            if (c >= '0' && c <= '9')
                code = code * 16 + char32_t(c - '0');
            else if (lower >= 'a' && lower <= 'f')
                code = code * 16 + char32_t(lower - 'a' + 10);
            else
                return std::nullopt;
        }
        pos_ += 4;
        return code;
    }

    Token readString(Token &token) {
        ++pos_;
        qsizetype plainFrom = pos_;
        while (pos_ < json_.size()) {
            const char c = json_.at(pos_);
            if (c == '"') {
                token.text += QString::fromUtf8(json_.mid(plainFrom, pos_ - plainFrom));
                ++pos_;
                token.kind = Token::String;
                return token;
            }
            if (isControl(uchar(c)))
                return control(pos_, uchar(c));
            if (c != '\\') {
                ++pos_;
                continue;
            }
            token.text += QString::fromUtf8(json_.mid(plainFrom, pos_ - plainFrom));
            const qsizetype escape = pos_;
            pos_ += 2;
            const char kind = escape + 1 < json_.size() ? json_.at(escape + 1) : '\0';
            static constexpr char kControlEscapes[] = "bfnrt";
            static constexpr char kControlCodes[] = "\b\f\n\r\t";
            if (const char *found = std::find(kControlEscapes, kControlEscapes + 5, kind);
                found != kControlEscapes + 5 && kind != '\0')
                return control(escape, uchar(kControlCodes[found - kControlEscapes]));
            if (kind == 'u') {
                const auto code = readHex4();
                if (!code)
                    return {}; // not JSON
                if (isControl(*code))
                    return control(escape, *code);
                token.text += QChar(char16_t(*code));
            } else if (kind == '"' || kind == '\\' || kind == '/') {
                token.text += QLatin1Char(kind);
            } else {
                return {}; // not JSON
            }
            plainFrom = pos_;
        }
        return {}; // unterminated: not JSON
    }

    const QByteArray &json_;
    qsizetype pos_ = 0;
};

JsonScanProblem problemAt(qsizetype offset, const QString &problem) {
    return JsonScanProblem{offset, problem};
}

// The keys of one open object, to find one written twice.
struct Container {
    bool object = false;
    bool expectingKey = false;
    std::vector<QString> keys;
};

std::optional<JsonScanProblem> checkKey(Container &object, const Token &key) {
    if (std::find(object.keys.begin(), object.keys.end(), key.text) != object.keys.end())
        return problemAt(
            key.offset,
            QStringLiteral("key \"%1\" appears twice in one object").arg(shownText(key.text)));
    if (qsizetype(object.keys.size()) == kMaxObjectKeys)
        return problemAt(key.offset, QStringLiteral("more than %1 keys in one object; no object "
                                                    "of the format has that many")
                                         .arg(kMaxObjectKeys));
    object.keys.push_back(key.text);
    object.expectingKey = false;
    return std::nullopt;
}

} // namespace

std::optional<JsonScanProblem> scanJson(const QByteArray &json) {
    Tokens tokens(json);
    std::vector<Container> open;
    qsizetype values = 0;
    for (Token token = tokens.next(); token.kind != Token::End; token = tokens.next()) {
        const bool keyExpected = !open.empty() && open.back().expectingKey;
        switch (token.kind) {
        case Token::Control:
            return problemAt(token.offset,
                             QStringLiteral("control character %1 in a %2")
                                 .arg(shownText(QString(QChar(char16_t(token.controlCode)))),
                                      QLatin1String(keyExpected ? "key" : "string")));
        case Token::Close:
            if (open.empty())
                return std::nullopt; // not JSON
            open.pop_back();
            continue;
        case Token::Comma:
        case Token::Colon:
            if (!open.empty() && open.back().object)
                open.back().expectingKey = token.kind == Token::Comma;
            continue;
        case Token::String:
            if (keyExpected) {
                if (auto problem = checkKey(open.back(), token))
                    return problem;
                continue;
            }
            break;
        case Token::Open:
        case Token::Scalar:
        case Token::End:
            break;
        }
        if (++values > kMaxJsonValues)
            return problemAt(token.offset,
                             QStringLiteral("more than %1 values; no configuration has that many")
                                 .arg(kMaxJsonValues));
        if (token.kind == Token::Open) {
            if (qsizetype(open.size()) >= kMaxDepth)
                return std::nullopt;
            open.push_back(Container{token.object, token.object, {}});
        }
    }
    return std::nullopt;
}

QByteArray numberTextAt(const QByteArray &json, const QString &place) {
    struct Level {
        bool object = false;
        qsizetype index = -1;
        QString key;
        bool expectingKey = false;
    };
    const auto pathOf = [](const std::vector<Level> &levels) {
        QString path;
        for (const Level &level : levels) {
            if (!level.object)
                path += QStringLiteral("[%1]").arg(level.index);
            else
                path += (path.isEmpty() ? QString() : QStringLiteral(".")) + level.key;
        }
        return path;
    };
    Tokens tokens(json);
    std::vector<Level> levels;
    for (Token token = tokens.next(); token.kind != Token::End; token = tokens.next()) {
        Level *top = levels.empty() ? nullptr : &levels.back();
        if (token.kind == Token::Comma || token.kind == Token::Colon) {
            if (top && top->object)
                top->expectingKey = token.kind == Token::Comma;
            continue;
        }
        if (token.kind == Token::Close) {
            if (levels.empty())
                break;
            levels.pop_back();
            continue;
        }
        if (token.kind == Token::String && top && top->expectingKey) {
            top->key = token.text;
            top->expectingKey = false;
            continue;
        }
        if (top && !top->object)
            ++top->index;
        if (token.kind == Token::Open)
            levels.push_back(Level{token.object, -1, {}, token.object});
        else if (token.kind == Token::Scalar && pathOf(levels) == place)
            return token.text.toLatin1();
        else if (token.kind == Token::Control)
            break;
    }
    return {};
}

QString shownText(const QString &text, qsizetype max) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        QString piece(text.at(i));
        if (c == u'\n')
            piece = QStringLiteral("\\n");
        else if (c == u'\t')
            piece = QStringLiteral("\\t");
        else if (c == u'\r')
            piece = QStringLiteral("\\r");
        else if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029)
            piece = QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        else if (QChar::isHighSurrogate(c) && i + 1 < text.size())
            piece += text.at(++i);
        if (shown.size() + piece.size() > max)
            return shown + QStringLiteral("\u2026");
        shown += piece;
    }
    return shown;
}

} // namespace tolvar
