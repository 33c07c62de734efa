// Which instruction set runs the signal model's hot loop: eight AVX-512
// lanes or four AVX2 lanes with fused multiply-add where the processor has
// them, otherwise the two SSE2 lanes every x86-64 processor has.
#pragma once

enum class ModelKernel
{
    Sse2,
    Avx2Fma,
    Avx512
};

// The fastest kernel this processor runs.
ModelKernel supportedModelKernel();

// Every effect object in the process uses the selected kernel (at first the
// supported one). Tests and the benchmark switch it to hold both kernels to
// the same standard; a kernel the processor lacks is never selected.
void selectModelKernel(ModelKernel kernel);
ModelKernel selectedModelKernel();
