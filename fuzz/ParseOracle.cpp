#include "fuzz/ParseOracle.h"

#include <pthread.h>

#include <stdexcept>

#include <tinyxml.h>

namespace oracle {

namespace {

struct Job {
    const document::DocumentText* text;
    ParseOutcome outcome;
};

int attributesOf(const TiXmlElement* element)
{
    int count = 0;
    for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
        ++count;
    return count;
}

void measure(Job& job)
{
    TiXmlDocument document;
    const char* end = document.Parse(job.text->data(), nullptr, TIXML_DEFAULT_ENCODING);
    ParseOutcome& out = job.outcome;
    out.error = document.Error();
    if (end && *end)
        out.unreadFrom = static_cast<std::size_t>(end - job.text->data());
    // Pre-order walk without recursion; depth counts elements only.
    const TiXmlNode* node = document.FirstChild();
    int depth = 0; // elements open above `node`
    while (node) {
        if (const TiXmlElement* element = node->ToElement()) {
            int level = depth + 1;
            int attributes = attributesOf(element);
            out.deepest = std::max(out.deepest, level);
            out.mostAttributes = std::max(out.mostAttributes, attributes);
            if (!out.broken && (level > document::kMaxNesting || attributes > document::kMaxAttributes)) {
                out.broken = true;
                out.brokenByNesting = level > document::kMaxNesting;
                out.row = element->Row();
                out.column = element->Column();
            }
            if (node->FirstChild()) {
                ++depth;
                node = node->FirstChild();
                continue;
            }
        }
        while (node && !node->NextSibling()) {
            node = node->Parent();
            if (node == &document)
                node = nullptr;
            else if (node)
                --depth;
        }
        if (node)
            node = node->NextSibling();
    }
}

void* run(void* job)
{
    measure(*static_cast<Job*>(job));
    return nullptr;
}

} // namespace

ParseOutcome parseWithTinyXml(const document::DocumentText& text)
{
    Job job{&text, {}};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, std::size_t(1) << 30);
    pthread_t thread;
    int failed = pthread_create(&thread, &attributes, run, &job);
    pthread_attr_destroy(&attributes);
    if (failed)
        throw std::runtime_error("cannot start the parsing thread");
    pthread_join(thread, nullptr);
    return job.outcome;
}

std::string disagreement(const document::DocumentText& text, const document::ParseTrace& trace,
                         const ParseOutcome& outcome)
{
    using Bound = document::ParseTrace::Bound;
    auto number = [](std::size_t n) { return n == document::ParseTrace::npos ? std::string("none") : std::to_string(n); };
    if (outcome.broken) {
        if (trace.broken == Bound::None)
            return "TinyXML built " + std::to_string(outcome.deepest) + " levels and " +
                   std::to_string(outcome.mostAttributes) + " attributes on one element; the trace refused nothing";
        if ((trace.broken == Bound::Nesting) != outcome.brokenByNesting)
            return std::string("the trace refused for ") + (trace.broken == Bound::Nesting ? "nesting" : "attributes") +
                   ", TinyXML first broke the other bound";
        document::TextPosition at = document::positionOf(text.view(), trace.brokenAt, trace.charactersFrom);
        if (at.row != outcome.row || at.column != outcome.column)
            return "the trace refused at row " + std::to_string(at.row) + ", column " + std::to_string(at.column) +
                   "; TinyXML's element is at row " + std::to_string(outcome.row) + ", column " +
                   std::to_string(outcome.column);
        return "";
    }
    if (trace.broken != Bound::None)
        return "the trace refused at offset " + std::to_string(trace.brokenAt) + "; TinyXML built only " +
               std::to_string(outcome.deepest) + " levels and " + std::to_string(outcome.mostAttributes) +
               " attributes on one element";
    if (trace.fails != outcome.error)
        return std::string("the trace says TinyXML ") + (trace.fails ? "fails" : "succeeds") + "; it " +
               (outcome.error ? "fails" : "succeeds");
    if (!outcome.error && trace.unreadFrom != outcome.unreadFrom)
        return "the trace stops reading at " + number(trace.unreadFrom) + ", TinyXML at " + number(outcome.unreadFrom);
    return "";
}

} // namespace oracle
