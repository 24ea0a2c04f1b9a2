# Doxygen's input filter for the public headers: reads them as they are
# written, with plain // comments, and hands Doxygen the same text with those
# comments as documentation.
#   - The comment block that opens a file documents the file (\file) and the
#     class or struct named after the file, unless that has a comment of its own.
#   - A comment line above a declaration documents it (// becomes ///). It
#     documents that declaration only: every public name needs its own.
#   - A comment directly above a run of two or more one-line #defines (no blank
#     line or other code between them; separator lines may frame the comment)
#     documents each #define of the run that has no comment of its own: the run
#     becomes a member group (DISTRIBUTE_GROUP_DOC), as a heading like
#     "Clear flags." names each flag. A #define after a blank line needs its own.
#     Calls, fields and types never take a comment meant for another line.
#   - A comment after code on the same line documents that line's name (/**<),
#     or each of its names where it declares several (float x, y, z;).
#   - Separator lines (// ----) stay plain comments.
#   - In comment text outside "quotes" (which Doxygen shows as written),
#     \ < > & @ # are escaped, so media\fx\water.fx and <n> read as written;
#     lines indented by three spaces or more (pictures, examples) are shown verbatim.
# Usage (Doxyfile): INPUT_FILTER = "awk -f docs/doxygen-filter.awk"

function escape(text,    out, i, ch, quoted) {
    out = ""
    quoted = 0
    for (i = 1; i <= length(text); ++i) {
        ch = substr(text, i, 1)
        # Doxygen shows a "quoted" span as written: nothing to escape there.
        if (ch == "\"") quoted = !quoted
        else if (!quoted && ch == "<") ch = "&lt;"
        else if (!quoted && ch == ">") ch = "&gt;"
        else if (!quoted && ch == "&") ch = "&amp;"
        else if (!quoted && index("\\@#", ch)) out = out "\\"
        out = out ch
    }
    return out
}

function is_comment(s) { return s ~ /^[ \t]*\/\// }
function is_separator(s) { return s ~ /^[ \t]*\/\/[ \t]*[-=*]+[ \t]*$/ }
function is_blank(s) { return s ~ /^[ \t]*$/ }
# A #define on one line (no continuation backslash).
function is_define(s) { return s ~ /^[ \t]*#[ \t]*define[ \t]/ && code_of(s) !~ /\\[ \t]*$/ }

# The code part of a line: before a // comment (no header has // inside a string).
function code_of(s,    i) {
    i = index(s, "//")
    return i ? substr(s, 1, i - 1) : s
}

# A code line with its trailing comment turned into /**< ... */ (not ///<, which
# would run on into a /// block on the next line).
function code_line(s,    i, code, text) {
    if (s ~ /^[ \t]*#/ && s !~ /^[ \t]*#[ \t]*define/) return s
    i = index(s, "//")
    if (!i) return s
    code = substr(s, 1, i - 1)
    text = substr(s, i + 2)
    if (code ~ /^[ \t]*$/) return s
    gsub(/\*\//, "* /", text)
    return code "/**<" escape(text) " */"
}

# A comment line as documentation. Lines indented by three spaces or more (a
# picture, an example) go into a \verbatim block, shown as written.
function doc_line(s,    i, text, out) {
    if (is_separator(s)) return end_verbatim() s
    i = index(s, "//")
    text = substr(s, i + 2)
    if (text ~ /^   /) {
        out = verbatim ? "" : substr(s, 1, i - 1) "/// \\verbatim\n"
        verbatim = 1
        return out substr(s, 1, i - 1) "///" text
    }
    return end_verbatim() substr(s, 1, i - 1) "///" escape(text)
}

# Closes an open \verbatim block: the line to print before what follows, or "".
function end_verbatim() {
    if (!verbatim) return ""
    verbatim = 0
    return "/// \\endverbatim\n"
}

{ line[NR] = $0 }

END {
    n = NR
    base = FILENAME
    sub(/.*\//, "", base)
    sub(/\.h$/, "", base)

    # The file's opening comment block.
    first = 1
    while (first <= n && is_comment(line[first])) ++first
    if (first > 1) {
        print "/// \\file"
        for (i = 1; i < first; ++i) print doc_line(line[i])
        printf "%s", end_verbatim()
    }

    for (i = first; i <= n; ++i) {
        s = line[i]
        if (is_comment(s)) {
            # A comment block above a run of one-line #defines: a member group.
            # Separator lines may frame the heading: they stay plain comments.
            j = i
            text = 0
            while (j <= n && is_comment(line[j])) { if (!is_separator(line[j])) text = 1; ++j }
            if (text) {
                if (j < n && is_define(line[j]) && is_define(line[j + 1])) {
                    print "///@{"
                    for (k = i; k < j; ++k) print doc_line(line[k])
                    printf "%s", end_verbatim()
                    for (k = j; k <= n && is_define(line[k]); ++k) print code_line(line[k])
                    print "///@}"
                    i = k - 1
                    continue
                }
            }
            print doc_line(s)
            continue
        }
        printf "%s", end_verbatim()
        c = code_of(s)
        # The class named after the file takes the file's comment when it has none.
        if (first > 1 && s ~ ("^[ \t]*(class|struct)[ \t]+" base "([ \t:{]|$)") && !is_comment(line[i - 1]))
            for (k = 1; k < first; ++k) print doc_line(line[k])
        printf "%s", end_verbatim()
        # Several names in one declaration with one comment: a group of their own,
        # so the comment documents each name (DISTRIBUTE_GROUP_DOC).
        if (s ~ /\/\// && c ~ /^[ \t]*[A-Za-z_][A-Za-z0-9_:<>* \t]*[ \t*][A-Za-z_][A-Za-z0-9_]*[ \t]*(,[ \t]*\**[A-Za-z_][A-Za-z0-9_]*[ \t]*)+;[ \t]*$/) {
            print "///@{"
            print doc_line(substr(s, index(s, "//")))
            print c
            print "///@}"
            continue
        }
        print code_line(s)
    }
}
