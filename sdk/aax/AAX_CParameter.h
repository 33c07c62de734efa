// A parameter with a real value of type T, its taper (normalised to real)
// and its display (real to text). The normalised value may be read by the
// audio thread while the host sets it.
#pragma once

#include "sdk/aax/AAX_IDisplayDelegate.h"
#include "sdk/aax/AAX_IParameter.h"
#include "sdk/aax/AAX_ITaperDelegate.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <vector>

template <typename T>
class AAX_CParameter : public AAX_IParameter
{
public:
    AAX_CParameter(AAX_CParamID identifier, const AAX_CString& name, T defaultValue,
                   const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display, bool automatable)
        : mIdentifier(identifier ? identifier : "")
        , mName(name)
        , mTaper(taper.Clone())
        , mDisplay(display.Clone())
        , mAutomatable(automatable)
        , mDefault(mTaper->RealToNormalized(defaultValue))
        , mValue(mDefault)
    {
    }

    AAX_CParamID Identifier() const override { return mIdentifier.c_str(); }
    const AAX_CString& Name() const override { return mName; }
    bool Automatable() const override { return mAutomatable; }
    uint32_t GetNumberOfSteps() const override { return mSteps; }
    void SetNumberOfSteps(uint32_t steps) override { mSteps = steps; }

    double GetNormalizedValue() const override { return mValue.load(std::memory_order_relaxed); }
    // A value that is not a finite number is ignored: the parameter keeps
    // its value.
    void SetNormalizedValue(double value) override
    {
        if (std::isfinite(value))
            mValue.store(std::clamp(value, 0.0, 1.0), std::memory_order_relaxed);
    }
    double GetNormalizedDefaultValue() const override { return mDefault; }
    bool GetNormalizedValueString(double value, int32_t maxLength, AAX_CString* text) const override
    {
        return mDisplay->ValueToString(mTaper->NormalizedToReal(value), maxLength, text);
    }

    T GetValue() const { return mTaper->NormalizedToReal(GetNormalizedValue()); }

    // Shorter forms of the name for narrow displays; empty ones are ignored.
    void AddShortenedName(const char* name)
    {
        if (name && *name)
            mShortenedNames.emplace_back(name);
    }
    const std::vector<std::string>& ShortenedNames() const { return mShortenedNames; }

private:
    std::string mIdentifier;
    AAX_CString mName;
    std::unique_ptr<AAX_ITaperDelegate<T>> mTaper;
    std::unique_ptr<AAX_IDisplayDelegate<T>> mDisplay;
    bool mAutomatable;
    uint32_t mSteps = 0;
    std::vector<std::string> mShortenedNames;
    double mDefault;
    std::atomic<double> mValue;
};
