#include "ScriptLexer.h"

#include "CompileError.h"

#include <array>
#include <cctype>
#include <cstdlib>

namespace authoring {

namespace {

constexpr std::array keywords = {"var", "function", "if", "else", "while", "do", "for", "in", "return",
                                 "break", "continue", "new", "this", "true", "false", "null",
                                 "undefined", "typeof", "delete", "void", "instanceof"};

// Longest spellings first, so that ">>>=" wins over ">>".
constexpr std::array punctuators = {">>>=", "===", "!==", ">>>", "<<=", ">>=", "==", "!=", "<=", ">=",
                                    "&&", "||", "++", "--", "+=", "-=", "*=", "/=", "%=", "&=", "|=",
                                    "^=", "<<", ">>", "{", "}", "(", ")", "[", "]", ";", ",", ".", "<",
                                    ">", "+", "-", "*", "/", "%", "&", "|", "^", "!", "~", "?", ":", "="};

bool isIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || (unsigned char)c >= 0x80;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void appendUtf8(std::string& out, unsigned codePoint)
{
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | (codePoint >> 6));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xE0 | (codePoint >> 12));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}

class Lexer {
public:
    explicit Lexer(std::string_view source) : m_source(source) {}

    std::vector<ScriptToken> run()
    {
        std::vector<ScriptToken> tokens;
        bool newline = false;
        while (true) {
            newline = skipSpaceAndComments() || newline;
            ScriptToken token;
            token.line = m_line;
            token.column = column();
            token.newlineBefore = newline;
            newline = false;
            if (m_position >= m_source.size()) {
                tokens.push_back(token);
                return tokens;
            }
            const char c = m_source[m_position];
            if (isIdentifierStart(c)) {
                readWord(token);
            } else if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
                readNumber(token);
            } else if (c == '"' || c == '\'') {
                readString(token);
            } else {
                readPunctuator(token);
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    [[noreturn]] void fail(int line, int column, std::string message)
    {
        throw CompileFailure({line, column, std::move(message)});
    }

    char peek(size_t ahead) const
    {
        return m_position + ahead < m_source.size() ? m_source[m_position + ahead] : '\0';
    }

    int column() const { return int(m_position - m_lineStart) + 1; }

    void advance()
    {
        if (m_source[m_position] == '\n') {
            ++m_line;
            m_lineStart = m_position + 1;
        }
        ++m_position;
    }

    bool skipSpaceAndComments()
    {
        bool newline = false;
        while (m_position < m_source.size()) {
            const char c = m_source[m_position];
            if (c == '\n') {
                newline = true;
                advance();
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                advance();
            } else if (c == '/' && peek(1) == '/') {
                while (m_position < m_source.size() && m_source[m_position] != '\n')
                    advance();
            } else if (c == '/' && peek(1) == '*') {
                const int line = m_line, startColumn = column();
                advance();
                advance();
                while (!(peek(0) == '*' && peek(1) == '/')) {
                    if (m_position >= m_source.size())
                        fail(line, startColumn, "unterminated comment");
                    if (m_source[m_position] == '\n')
                        newline = true;
                    advance();
                }
                advance();
                advance();
            } else {
                break;
            }
        }
        return newline;
    }

    void readWord(ScriptToken& token)
    {
        const size_t start = m_position;
        while (m_position < m_source.size() && (isIdentifierStart(m_source[m_position]) || isDigit(m_source[m_position])))
            advance();
        token.text = std::string(m_source.substr(start, m_position - start));
        token.kind = ScriptToken::Kind::Identifier;
        for (const char* keyword : keywords) {
            if (token.text == keyword)
                token.kind = ScriptToken::Kind::Keyword;
        }
    }

    void readNumber(ScriptToken& token)
    {
        const size_t start = m_position;
        token.kind = ScriptToken::Kind::Number;
        if (peek(0) == '0' && (peek(1) == 'x' || peek(1) == 'X')) {
            advance();
            advance();
            const size_t digits = m_position;
            while (std::isxdigit((unsigned char)peek(0)))
                advance();
            if (m_position == digits)
                fail(token.line, token.column, "hexadecimal number without digits");
            token.number = double(std::strtoull(std::string(m_source.substr(digits, m_position - digits)).c_str(), nullptr, 16));
        } else {
            while (isDigit(peek(0)))
                advance();
            if (peek(0) == '.') {
                advance();
                while (isDigit(peek(0)))
                    advance();
            }
            if (peek(0) == 'e' || peek(0) == 'E') {
                const size_t save = m_position;
                advance();
                if (peek(0) == '+' || peek(0) == '-')
                    advance();
                if (!isDigit(peek(0)))
                    m_position = save;
                while (isDigit(peek(0)))
                    advance();
            }
            token.number = std::strtod(std::string(m_source.substr(start, m_position - start)).c_str(), nullptr);
        }
        if (isIdentifierStart(peek(0)))
            fail(m_line, column(), "unexpected character after number");
        token.text = std::string(m_source.substr(start, m_position - start));
    }

    unsigned readHexDigits(int count, int line, int startColumn)
    {
        unsigned value = 0;
        for (int i = 0; i < count; ++i) {
            const char c = peek(0);
            if (!std::isxdigit((unsigned char)c))
                fail(line, startColumn, "bad escape sequence");
            value = value * 16 + unsigned(std::isdigit((unsigned char)c) ? c - '0' : (std::tolower(c) - 'a' + 10));
            advance();
        }
        return value;
    }

    void readString(ScriptToken& token)
    {
        token.kind = ScriptToken::Kind::String;
        const char quote = m_source[m_position];
        advance();
        while (true) {
            if (m_position >= m_source.size() || m_source[m_position] == '\n')
                fail(token.line, token.column, "unterminated string");
            const char c = m_source[m_position];
            if (c == quote) {
                advance();
                return;
            }
            if (c != '\\') {
                token.text += c;
                advance();
                continue;
            }
            const int escapeColumn = column();
            advance();
            const char escaped = peek(0);
            if (m_position >= m_source.size())
                fail(token.line, token.column, "unterminated string");
            advance();
            switch (escaped) {
            case 'n': token.text += '\n'; break;
            case 'r': token.text += '\r'; break;
            case 't': token.text += '\t'; break;
            case 'b': token.text += '\b'; break;
            case 'f': token.text += '\f'; break;
            case 'x': appendUtf8(token.text, readHexDigits(2, m_line, escapeColumn)); break;
            case 'u': appendUtf8(token.text, readHexDigits(4, m_line, escapeColumn)); break;
            case '\n': break; // a backslash at the line's end continues the string
            default: token.text += escaped; break;
            }
        }
    }

    void readPunctuator(ScriptToken& token)
    {
        for (const char* spelling : punctuators) {
            if (m_source.substr(m_position).starts_with(spelling)) {
                token.kind = ScriptToken::Kind::Punctuator;
                token.text = spelling;
                for (size_t i = 0; spelling[i]; ++i)
                    advance();
                return;
            }
        }
        fail(token.line, token.column, std::string("unexpected character '") + m_source[m_position] + "'");
    }

    std::string_view m_source;
    size_t m_position = 0;
    size_t m_lineStart = 0;
    int m_line = 1;
};

} // namespace

std::vector<ScriptToken> tokenizeScript(std::string_view source)
{
    return Lexer(source).run();
}

} // namespace authoring
