// Translations to OpenGL: every value the state checks accept has its own OpenGL value
// (none falls through to a default), and a value they refuse asserts in builds with
// assertions instead of drawing something else.
#include <gtest/gtest.h>

#include <set>

#include "platform/d3d9/GlTranslate.h"

TEST(GlTranslate, EveryAcceptedValueHasItsOwnOpenGlValue) {
  std::set<GLenum> compare, stencil, equation, factor, address;
  for (DWORD f = D3DCMP_NEVER; f <= D3DCMP_ALWAYS; ++f) compare.insert(ToGlCompare(f));
  for (DWORD op = D3DSTENCILOP_KEEP; op <= D3DSTENCILOP_DECR; ++op)
    stencil.insert(ToGlStencilOp(op));
  for (DWORD op = D3DBLENDOP_ADD; op <= D3DBLENDOP_MAX; ++op)
    equation.insert(ToGlBlendEquation(op));
  for (DWORD b = D3DBLEND_ZERO; b <= D3DBLEND_INVBLENDFACTOR; ++b)
    if (b != D3DBLEND_BOTHSRCALPHA && b != D3DBLEND_BOTHINVSRCALPHA)
      factor.insert(ToGlBlendFactor(b, true));
  for (DWORD a = D3DTADDRESS_WRAP; a <= D3DTADDRESS_BORDER; ++a)
    address.insert(static_cast<GLenum>(ToGlAddress(a)));
  EXPECT_EQ(compare.size(), 8u);
  EXPECT_EQ(stencil.size(), 8u);
  EXPECT_EQ(equation.size(), 5u);
  EXPECT_EQ(factor.size(), 13u);
  EXPECT_EQ(address.size(), 4u);
  std::set<GLenum> primitives;
  for (int t = D3DPT_POINTLIST; t <= D3DPT_TRIANGLEFAN; ++t)
    primitives.insert(ToGlPrimitive(static_cast<D3DPRIMITIVETYPE>(t)));
  EXPECT_EQ(primitives.size(), 6u);
  std::set<GLint> minFilters;
  for (DWORD min = D3DTEXF_POINT; min <= D3DTEXF_LINEAR; ++min)
    for (DWORD mip = D3DTEXF_NONE; mip <= D3DTEXF_LINEAR; ++mip)
      minFilters.insert(ToGlMinFilter(min, mip));
  EXPECT_EQ(minFilters.size(), 6u);
}

TEST(GlTranslate, FactorsFollowTheTargetAndTheSourceShorthands) {
  // A target without alpha reads destination alpha as 1.
  EXPECT_EQ(ToGlBlendFactor(D3DBLEND_DESTALPHA, false), static_cast<GLenum>(GL_ONE));
  EXPECT_EQ(ToGlBlendFactor(D3DBLEND_INVDESTALPHA, false), static_cast<GLenum>(GL_ZERO));
  EXPECT_EQ(ToGlBlendFactor(D3DBLEND_DESTALPHA, true), static_cast<GLenum>(GL_DST_ALPHA));
  auto both = ToGlBlendPair(D3DBLEND_BOTHINVSRCALPHA, D3DBLEND_ONE, true);
  EXPECT_EQ(both[0], static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
  EXPECT_EQ(both[1], static_cast<GLenum>(GL_SRC_ALPHA));
  auto plain = ToGlBlendPair(D3DBLEND_SRCCOLOR, D3DBLEND_BLENDFACTOR, true);
  EXPECT_EQ(plain[0], static_cast<GLenum>(GL_SRC_COLOR));
  EXPECT_EQ(plain[1], static_cast<GLenum>(GL_CONSTANT_COLOR));
  // Front faces are clockwise.
  EXPECT_EQ(ToGlCullFace(D3DCULL_CW), static_cast<GLenum>(GL_FRONT));
  EXPECT_EQ(ToGlCullFace(D3DCULL_CCW), static_cast<GLenum>(GL_BACK));
  std::array<GLfloat, 4> c = ToGlColor(0x80FF4000);
  EXPECT_FLOAT_EQ(c[0], 1.0f);
  EXPECT_FLOAT_EQ(c[1], 64 / 255.0f);
  EXPECT_FLOAT_EQ(c[2], 0.0f);
  EXPECT_FLOAT_EQ(c[3], 128 / 255.0f);
}

#ifndef NDEBUG
TEST(GlTranslateDeathTest, ValuesNoCheckAcceptsAssert) {
  EXPECT_DEATH(ToGlCompare(0), "invalid comparison");
  EXPECT_DEATH(ToGlCompare(D3DCMP_ALWAYS + 1), "invalid comparison");
  EXPECT_DEATH(ToGlStencilOp(0), "invalid stencil");
  EXPECT_DEATH(ToGlBlendEquation(D3DBLENDOP_MAX + 1), "invalid blend operation");
  EXPECT_DEATH(ToGlBlendFactor(D3DBLEND_INVBLENDFACTOR + 1, true), "invalid blend factor");
  EXPECT_DEATH(ToGlPrimitive(static_cast<D3DPRIMITIVETYPE>(0)), "invalid primitive");
  EXPECT_DEATH(ToGlCullFace(D3DCULL_NONE), "invalid cull");
  EXPECT_DEATH(ToGlPolygonMode(0), "invalid fill");
  EXPECT_DEATH(ToGlAddress(D3DTADDRESS_MIRRORONCE), "invalid texture address");
  EXPECT_DEATH(ToGlMagFilter(D3DTEXF_NONE), "invalid magnification");
  EXPECT_DEATH(ToGlMinFilter(D3DTEXF_ANISOTROPIC, D3DTEXF_NONE), "invalid minification");
  EXPECT_DEATH(ToGlMinFilter(D3DTEXF_POINT, D3DTEXF_ANISOTROPIC), "invalid mipmap");
  EXPECT_DEATH(ToGlIndexType(D3DFMT_A8R8G8B8), "invalid index format");
}
#endif
