#pragma once
// Fakes for the word-list builder's seams: a surface that records every drawing call as one
// line of text, a message service that records the boxes, and a collation service whose
// "locale" folds case like the ASCII rule and can be switched off.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "base/message_service.h"
#include "ui/progress_display.h"
#include "wordlist/collation.h"

namespace setup::test {

inline std::string RectText(const Rect& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d)", r.left, r.top, r.right, r.bottom);
    return text;
}

class RecordingSurface : public ProgressSurface {
public:
    std::vector<std::string> calls;

    void OpenBuildContext() override { calls.push_back("open"); }
    void CloseBuildContext() override { calls.push_back("close"); }
    void CreateCounterBrush(Colour colour) override { calls.push_back("brush " + Hex(colour)); }
    void SelectFont(SurfaceFont font) override {
        calls.push_back(font == SurfaceFont::Title ? "font title" : "font system");
    }
    void SetTextColour(Colour colour) override { calls.push_back("colour " + Hex(colour)); }
    void DrawText(std::string_view text, const Rect& rect) override {
        calls.push_back("text \"" + std::string(text) + "\" " + RectText(rect));
    }
    void DrawCounter(std::string_view text, const Rect& box) override {
        calls.push_back("counter box " + RectText(box));
        DrawText(text, box);
    }
    void DrawBar(const BarDrawing& bar) override {
        calls.push_back("bar \"" + std::string(bar.text) + "\" " + RectText(bar.outer) + " inside " +
                        RectText(bar.inside) + " fill " + (bar.fill ? RectText(*bar.fill) : "none"));
    }
    void ShowWaitCursor() override { calls.push_back("wait cursor"); }
    void RestoreCursor() override { calls.push_back("restore cursor"); }

    // The values shown in the counter box, in order.
    std::vector<std::string> Counters() const {
        std::vector<std::string> values;
        for (size_t i = 0; i + 1 < calls.size(); ++i)
            if (calls[i].rfind("counter box", 0) == 0) {
                const std::string& text = calls[i + 1];
                values.push_back(text.substr(6, text.find('"', 6) - 6));
            }
        return values;
    }

    // The calls other than the counter box and its text.
    std::vector<std::string> WithoutCounters() const {
        std::vector<std::string> rest;
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].rfind("counter box", 0) == 0) {
                ++i;
                continue;
            }
            rest.push_back(calls[i]);
        }
        return rest;
    }

private:
    static std::string Hex(Colour colour) {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour));
        return text;
    }
};

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
    bool owned;
};

class RecordingMessages : public MessageService {
public:
    std::vector<ShownMessage> shown;
    void Show(const std::string& text, const std::string& caption, MessageIcon icon, bool owned) override {
        shown.push_back({text, caption, icon, owned});
    }
};

// A stand-in for the platform locale: "english" is available unless switched off; its
// comparison ignores the case of A-Z and its key is "~" followed by the folded text, so that
// a key made with it differs from the plain ASCII-fold key.
class FakeCollation : public CollationService {
public:
    bool available = true;
    bool failing = false;
    std::vector<std::string> localeRequests;

    bool SetLocale(std::string_view language) override {
        localeRequests.emplace_back(language);
        return available && language == "english";
    }
    int Compare(std::string_view a, std::string_view b) override {
        return failing ? kCollationFailed : CompareAsciiFold(a, b);
    }
    bool AppendSortKey(std::string_view text, std::string& key) override {
        if (failing) return false;
        key.push_back('~');
        for (char c : text) key.push_back(static_cast<char>(FoldAscii(static_cast<unsigned char>(c))));
        return true;
    }
};

}  // namespace setup::test
