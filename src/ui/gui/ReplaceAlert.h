#pragma once

#include <memory>

#include "platform/interface/gui/Alert.h"

class BCheckBox;

// The question asked when an item or link collides with an existing entry: "Don't
// Replace" (0, key d) or "Replace" (1, key r), with the facts of both entries side by side
// (icon, creation and modification dates, size, kind, folder, version) and, when asked
// for, the box "Apply to all future collisions". Its wording comes in the ten languages of
// the catalogue, chosen by the language code.
//
// The alert deletes itself when answered; the state of the box reaches the caller through
// `applyToAll`, which the caller keeps (it stays false when the box is not shown).
class ReplaceAlert : public BAlert {
public:
    enum { kApplyToAllToggled = 1000 };

    ReplaceAlert(const char* newPath, const char* existingPath, bool showApplyToAll,
                 const char* language, std::shared_ptr<bool> applyToAll = nullptr);
    ~ReplaceAlert() override;

    void MessageReceived(BMessage* message) override;

    bool ApplyToAll() const { return *fApplyToAll; }
    BCheckBox* ApplyToAllBox() const { return fBox; }

    // How much taller than a plain alert the facts make it.
    static constexpr float kGrowthWithBox = 240;
    static constexpr float kGrowthWithoutBox = 220;
    static constexpr float kExtraWidth = 40;

private:
    // Adds the facts of the entry at `path` from `top` down; answers the bottom of the
    // last row.
    float AddFacts(BView* parent, const char* side, const char* path, float top,
                   float modifiedWidth, const class LibLocaleDateTime& formatter);

    BCheckBox* fBox = nullptr;
    std::shared_ptr<bool> fApplyToAll;
    const struct ReplaceTexts* fTexts;
};
