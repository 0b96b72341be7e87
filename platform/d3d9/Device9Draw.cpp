// Device9: draws. Each draw validates its ranges against the bound buffers, then brings
// OpenGL up to the recorded state, touching only what changed since the previous draw.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/GlFlavour.h"
#include "platform/d3d9/GlTranslate.h"
#include "platform/d3d9/HostSeams.h"
#include "platform/d3d9/IndexBuffer9.h"
#include "platform/d3d9/MatrixMath.h"
#include "platform/d3d9/Surface9.h"
#include "platform/d3d9/Texture9.h"
#include "platform/d3d9/VertexBuffer9.h"
#include "platform/d3d9/VertexLayout.h"
#include "platform/d3d9/d3d9host.h"

namespace {

// The primitive type of every draw; `*elements` the vertices (or indices) it reads.
HRESULT CheckPrimitives(const char* call, D3DPRIMITIVETYPE type, UINT primitives,
                        UINT* elements) {
  *elements = PrimitiveElementCount(type, primitives);
  return *elements ? D3D_OK : ReportInvalidCall("%s: primitive type %u", call, type);
}

// The vertex format and stride of every draw, decoded into `layout`.
HRESULT CheckVertices(const char* call, DWORD fvf, UINT stride, VertexLayout* layout) {
  switch (CheckDrawVertices(fvf, stride, layout)) {
    case DrawVertexCheck::kUsable:
      return D3D_OK;
    case DrawVertexCheck::kUnknownFormat:
      return ReportInvalidCall("%s: no usable vertex format (0x%x)", call, fvf);
    case DrawVertexCheck::kStrideTooSmall:
      return ReportInvalidCall("%s: stride %u is smaller than the vertex (%u)", call, stride,
                               layout->size);
  }
  return D3DERR_INVALIDCALL;
}

void Uniform(GLint location, const D3DCOLORVALUE& c) {
  if (location >= 0) glUniform4f(location, c.r, c.g, c.b, c.a);
}

}  // namespace

GlRasterState Device9::ComputeRasterState(bool points) const {
  const auto& rs = state_.render;
  GlRasterState s;
  const bool destinationAlpha = renderTarget_->format().hasAlpha;
  s.blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
  std::array<GLenum, 2> rgb =
      ToGlBlendPair(rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND], destinationAlpha);
  s.blendSrcRgb = rgb[0];
  s.blendDstRgb = rgb[1];
  s.blendEquationRgb = ToGlBlendEquation(rs[D3DRS_BLENDOP]);
  if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
    std::array<GLenum, 2> alpha =
        ToGlBlendPair(rs[D3DRS_SRCBLENDALPHA], rs[D3DRS_DESTBLENDALPHA], destinationAlpha);
    s.blendSrcAlpha = alpha[0];
    s.blendDstAlpha = alpha[1];
    s.blendEquationAlpha = ToGlBlendEquation(rs[D3DRS_BLENDOPALPHA]);
  } else {
    s.blendSrcAlpha = s.blendSrcRgb;
    s.blendDstAlpha = s.blendDstRgb;
    s.blendEquationAlpha = s.blendEquationRgb;
  }
  s.blendColor = ToGlColor(rs[D3DRS_BLENDFACTOR]);

  Surface9* depth = depthStencil_.get();
  s.depthTest = depth && rs[D3DRS_ZENABLE] == D3DZB_TRUE;
  s.depthFunc = ToGlCompare(rs[D3DRS_ZFUNC]);
  s.depthMask = rs[D3DRS_ZWRITEENABLE] != 0;
  s.stencilTest = depth && depth->format().stencil && rs[D3DRS_STENCILENABLE] != 0;
  s.stencilFunc = ToGlCompare(rs[D3DRS_STENCILFUNC]);
  s.stencilRef = static_cast<GLint>(rs[D3DRS_STENCILREF] & 0xFF);
  s.stencilMask = rs[D3DRS_STENCILMASK];
  s.stencilWriteMask = rs[D3DRS_STENCILWRITEMASK];
  s.stencilFail = ToGlStencilOp(rs[D3DRS_STENCILFAIL]);
  s.stencilDepthFail = ToGlStencilOp(rs[D3DRS_STENCILZFAIL]);
  s.stencilPass = ToGlStencilOp(rs[D3DRS_STENCILPASS]);

  // Points become squares that must never be culled.
  DWORD cull = points ? DWORD{D3DCULL_NONE} : rs[D3DRS_CULLMODE];
  s.cull = cull != D3DCULL_NONE;
  if (s.cull) s.cullFace = ToGlCullFace(cull);
  DWORD write = rs[D3DRS_COLORWRITEENABLE];
  s.colorMask = {(write & 1) != 0, (write & 2) != 0, (write & 4) != 0, (write & 8) != 0};
  DWORD fill = points ? DWORD{D3DFILL_SOLID} : rs[D3DRS_FILLMODE];
  s.polygonMode = ToGlPolygonMode(fill);

  const D3DVIEWPORT9& v = state_.viewport;
  s.viewport = {static_cast<GLint>(v.X), static_cast<GLint>(v.Y), static_cast<GLint>(v.Width),
                static_cast<GLint>(v.Height)};
  s.depthRange = {v.MinZ, v.MaxZ};
  s.scissor = false;
  return s;
}

HRESULT Device9::UpdateFramebuffer(bool force) {
  gl_.BindDrawFramebuffer(framebuffer_, force);
  Surface9* target = renderTarget_.get();
  Surface9* depth = depthStencil_.get();
  // OpenGL would silently draw only where both overlap.
  if (depth && (depth->width() < target->width() || depth->height() < target->height()))
    return ReportInvalidCall("the %ux%u depth surface is smaller than the %ux%u render target",
                             depth->width(), depth->height(), target->width(), target->height());
  if (!framebufferDirty_ && !force) return D3D_OK;
  const bool packed = depth && depth->format().internalFormat == GL_DEPTH24_STENCIL8;
  gl_.AttachDrawTargets(target->glTexture(), static_cast<GLint>(target->glLevel()),
                        depth ? depth->glRenderbufferFor(target->width(), target->height()) : 0,
                        packed);
  framebufferDirty_ = false;
  return D3D_OK;
}

void Device9::UploadUniforms(FixedFunctionProgram& p, bool force) {
  auto stale = [&](UniformGroup group) {
    if (!force && p.uploaded[group] == stamps_[group]) return false;
    p.uploaded[group] = stamps_[group];
    ++gl_.counts().uniformUploads;
    return true;
  };
  if (stale(kTransformUniforms)) UploadTransforms(p);
  if (stale(kTextureMatrixUniforms) && p.textureMatrix >= 0)
    glUniformMatrix4fv(p.textureMatrix, kStageCount, GL_FALSE, &state_.texture[0].m[0][0]);
  if (stale(kMaterialUniforms)) UploadMaterial(p);
  if (stale(kLightUniforms) && p.lightCount > 0) UploadLights(p);
  if (stale(kPointUniforms)) UploadPointSize(p);
  if (stale(kFragmentUniforms)) UploadFragmentConstants(p);
}

void Device9::UploadTransforms(const FixedFunctionProgram& p) {
  D3DMATRIX worldView = Multiply(state_.world, state_.view);
  if (p.worldView >= 0) glUniformMatrix4fv(p.worldView, 1, GL_FALSE, &worldView.m[0][0]);
  if (p.projection >= 0)
    glUniformMatrix4fv(p.projection, 1, GL_FALSE, &state_.projection.m[0][0]);
  if (p.normalMatrix >= 0) {
    float normal[9];
    NormalMatrix(worldView, normal);
    glUniformMatrix3fv(p.normalMatrix, 1, GL_TRUE, normal);
  }
  const D3DVIEWPORT9& v = state_.viewport;
  if (p.viewport >= 0)
    glUniform4f(p.viewport, static_cast<float>(v.X), static_cast<float>(v.Y),
                static_cast<float>(v.Width), static_cast<float>(v.Height));
}

void Device9::UploadMaterial(const FixedFunctionProgram& p) {
  const auto& rs = state_.render;
  const D3DMATERIAL9& m = state_.material;
  Uniform(p.materialDiffuse, m.Diffuse);
  Uniform(p.materialAmbient, m.Ambient);
  Uniform(p.materialSpecular, m.Specular);
  Uniform(p.materialEmissive, m.Emissive);
  if (p.materialPower >= 0) glUniform1f(p.materialPower, m.Power);
  if (p.globalAmbient >= 0) {
    std::array<GLfloat, 4> ambient = ToGlColor(rs[D3DRS_AMBIENT]);
    glUniform4fv(p.globalAmbient, 1, ambient.data());
  }
}

void Device9::UploadLights(const FixedFunctionProgram& p) {
  std::array<DWORD, 8> indices{};
  int count = std::min(ActiveLightIndices(state_, &indices), p.lightCount);
  GLfloat diffuse[32], specular[32], ambient[32], position[24], direction[24], attenuation[32],
      spot[24];
  for (int i = 0; i < count; ++i) {
    const D3DLIGHT9& l = state_.lights.at(indices[i]).light;
    std::memcpy(diffuse + 4 * i, &l.Diffuse, 16);
    std::memcpy(specular + 4 * i, &l.Specular, 16);
    std::memcpy(ambient + 4 * i, &l.Ambient, 16);
    D3DVECTOR pos = TransformPoint(l.Position, state_.view);
    D3DVECTOR dir = TransformDirection(l.Direction, state_.view);
    float length = std::sqrt(dir.x * dir.x + dir.y * dir.y + dir.z * dir.z);
    if (length > 0.0f) dir = {dir.x / length, dir.y / length, dir.z / length};
    position[3 * i] = pos.x;
    position[3 * i + 1] = pos.y;
    position[3 * i + 2] = pos.z;
    direction[3 * i] = dir.x;
    direction[3 * i + 1] = dir.y;
    direction[3 * i + 2] = dir.z;
    attenuation[4 * i] = l.Range;
    attenuation[4 * i + 1] = l.Attenuation0;
    attenuation[4 * i + 2] = l.Attenuation1;
    attenuation[4 * i + 3] = l.Attenuation2;
    spot[3 * i] = std::cos(l.Theta / 2.0f);
    spot[3 * i + 1] = std::cos(l.Phi / 2.0f);
    spot[3 * i + 2] = l.Falloff;
  }
  if (p.lightDiffuse >= 0) glUniform4fv(p.lightDiffuse, count, diffuse);
  if (p.lightSpecular >= 0) glUniform4fv(p.lightSpecular, count, specular);
  if (p.lightAmbient >= 0) glUniform4fv(p.lightAmbient, count, ambient);
  if (p.lightPosition >= 0) glUniform3fv(p.lightPosition, count, position);
  if (p.lightDirection >= 0) glUniform3fv(p.lightDirection, count, direction);
  if (p.lightAttenuation >= 0) glUniform4fv(p.lightAttenuation, count, attenuation);
  if (p.lightSpot >= 0) glUniform3fv(p.lightSpot, count, spot);
}

void Device9::UploadPointSize(const FixedFunctionProgram& p) {
  const auto& rs = state_.render;
  float maximum = std::min(AsFloat(rs[D3DRS_POINTSIZE_MAX]), kMaxPointSize);
  float minimum = std::min(AsFloat(rs[D3DRS_POINTSIZE_MIN]), maximum);
  if (p.pointSize >= 0)
    glUniform3f(p.pointSize, AsFloat(rs[D3DRS_POINTSIZE]), std::max(minimum, 0.0f),
                std::max(maximum, 0.0f));
  if (p.pointScale >= 0)
    glUniform3f(p.pointScale, AsFloat(rs[D3DRS_POINTSCALE_A]), AsFloat(rs[D3DRS_POINTSCALE_B]),
                AsFloat(rs[D3DRS_POINTSCALE_C]));
}

void Device9::UploadFragmentConstants(const FixedFunctionProgram& p) {
  const auto& rs = state_.render;
  if (p.textureFactor >= 0) {
    std::array<GLfloat, 4> factor = ToGlColor(rs[D3DRS_TEXTUREFACTOR]);
    glUniform4fv(p.textureFactor, 1, factor.data());
  }
  // Only the low byte of the reference counts.
  if (p.alphaRef >= 0) glUniform1f(p.alphaRef, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF));
  if (p.lodBias >= 0) {
    std::array<GLfloat, kStageCount> bias{};
    for (DWORD stage = 0; stage < kStageCount; ++stage)
      bias[stage] = AsFloat(state_.sampler[stage][D3DSAMP_MIPMAPLODBIAS]);
    glUniform1fv(p.lodBias, kStageCount, bias.data());
  }
}

void Device9::ApplySampler(DWORD stage) {
  const auto& ss = state_.sampler[stage];
  GlSamplerState s;
  s.wrapS = ToGlAddress(ss[D3DSAMP_ADDRESSU]);
  s.wrapT = ToGlAddress(ss[D3DSAMP_ADDRESSV]);
  s.wrapR = ToGlAddress(ss[D3DSAMP_ADDRESSW]);
  s.borderColor = ToGlColor(ss[D3DSAMP_BORDERCOLOR]);
  s.magFilter = ToGlMagFilter(ss[D3DSAMP_MAGFILTER]);
  s.minFilter = ToGlMinFilter(ss[D3DSAMP_MINFILTER], ss[D3DSAMP_MIPFILTER]);
  s.lodBias = AsFloat(ss[D3DSAMP_MIPMAPLODBIAS]);
  // MAXMIPLEVEL names the largest level used: no level of detail below it.
  s.minLod = static_cast<float>(ss[D3DSAMP_MAXMIPLEVEL]);
  gl_.SetSampler(samplers_[stage], s);
  samplerDirty_[stage] = false;
}

void Device9::BindTextures(bool force) {
  for (DWORD stage = 0; stage < key_.stageCount; ++stage) {
    if (!key_.stages[stage].sampled) continue;
    gl_.BindTexture(stage, textures_[stage]->glTexture(), force);
    if (samplerDirty_[stage] || force) ApplySampler(stage);
    gl_.BindSampler(stage, samplers_[stage], force);
  }
}

void Device9::BindVertexSource(GLuint buffer, std::size_t offset, UINT stride,
                               const VertexLayout& layout, bool force) {
  if (!force && attribs_.valid && attribs_.buffer == buffer && attribs_.offset == offset &&
      attribs_.stride == stride && attribs_.fvf == state_.fvf)
    return;
  gl_.BindArrayBuffer(buffer, force);
  auto pointer = [&](GLuint location, int elementOffset, GLint size, GLenum type,
                     GLboolean normalised) {
    gl_.SetVertexAttribute(location, elementOffset >= 0, size, type, normalised,
                           static_cast<GLsizei>(stride),
                           offset + static_cast<std::size_t>(std::max(elementOffset, 0)));
  };
  pointer(0, 0, layout.rhw ? 4 : 3, GL_FLOAT, GL_FALSE);
  pointer(1, layout.normal, 3, GL_FLOAT, GL_FALSE);
  pointer(2, layout.pointSize, 1, GL_FLOAT, GL_FALSE);
  // A D3DCOLOR is the bytes B, G, R, A in memory; the shader reorders them.
  pointer(3, layout.diffuse, 4, GL_UNSIGNED_BYTE, GL_TRUE);
  pointer(4, layout.specular, 4, GL_UNSIGNED_BYTE, GL_TRUE);
  for (UINT set = 0; set < 8; ++set)
    pointer(5 + set, set < layout.texSetCount ? layout.texOffset[set] : -1,
            static_cast<GLint>(layout.texSize[set]), GL_FLOAT, GL_FALSE);
  attribs_ = AttribSource{buffer, offset, stride, state_.fvf, true};
}

HRESULT Device9::PrepareDraw(bool points, const VertexLayout& layout) {
  const bool force = D3D9FullStateApply();
  Activate();
  if (FAILED(UpdateFramebuffer(force))) return D3DERR_INVALIDCALL;
  gl_.Apply(ComputeRasterState(points), force);
  if (force || keyDirty_ || points != lastDrawPoints_ || state_.fvf != keyFvf_ || !program_) {
    std::array<bool, kStageCount> bound{};
    for (DWORD s = 0; s < kStageCount; ++s) bound[s] = textures_[s].get() != nullptr;
    key_ = BuildFixedFunctionKey(state_, layout, bound, points);
    program_ = shaders_.Get(key_, gl_);
    keyDirty_ = false;
    lastDrawPoints_ = points;
    keyFvf_ = state_.fvf;
    if (!program_) return D3DERR_DRIVERINTERNALERROR;
  }
  gl_.UseProgram(program_->program, force);
  UploadUniforms(*program_, force);
  BindTextures(force);
  return D3D_OK;
}

HRESULT Device9::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                               UINT PrimitiveCount) {
  UINT vertices = 0;
  if (FAILED(CheckPrimitives("DrawPrimitive", PrimitiveType, PrimitiveCount, &vertices)))
    return D3DERR_INVALIDCALL;
  if (PrimitiveCount == 0) return D3D_OK;
  VertexBuffer9* buffer = stream_.get();
  if (!buffer) return ReportInvalidCall("DrawPrimitive: no vertex buffer on stream 0");
  VertexLayout layout;
  if (FAILED(CheckVertices("DrawPrimitive", state_.fvf, streamStride_, &layout)))
    return D3DERR_INVALIDCALL;
  std::uint64_t end = streamOffset_ + static_cast<std::uint64_t>(StartVertex + std::uint64_t{vertices} - 1) *
                                          streamStride_ + layout.size;
  if (end > buffer->size())
    return ReportInvalidCall("DrawPrimitive: vertices %u..%u lie outside the buffer", StartVertex,
                             StartVertex + vertices - 1);
  HRESULT result = PrepareDraw(PrimitiveType == D3DPT_POINTLIST, layout);
  if (FAILED(result)) return result;
  BindVertexSource(buffer->glBuffer(), streamOffset_, streamStride_, layout, D3D9FullStateApply());
  ++gl_.counts().draws;
  glDrawArrays(ToGlPrimitive(PrimitiveType), static_cast<GLint>(StartVertex),
               static_cast<GLsizei>(vertices));
  return D3D_OK;
}

HRESULT Device9::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex,
                                      UINT, UINT, UINT startIndex, UINT primCount) {
  UINT count = 0;
  if (FAILED(CheckPrimitives("DrawIndexedPrimitive", PrimitiveType, primCount, &count)))
    return D3DERR_INVALIDCALL;
  if (primCount == 0) return D3D_OK;
  VertexBuffer9* buffer = stream_.get();
  IndexBuffer9* indices = indices_.get();
  if (!buffer || !indices)
    return ReportInvalidCall("DrawIndexedPrimitive: no vertex buffer or no index buffer");
  VertexLayout layout;
  if (FAILED(CheckVertices("DrawIndexedPrimitive", state_.fvf, streamStride_, &layout)))
    return D3DERR_INVALIDCALL;
  UINT lowest = 0, highest = 0;
  if (!indices->IndexRange(startIndex, count, &lowest, &highest))
    return ReportInvalidCall("DrawIndexedPrimitive: indices %u+%u lie outside the index buffer",
                             startIndex, count);
  std::int64_t first = static_cast<std::int64_t>(BaseVertexIndex) + lowest;
  std::int64_t last = static_cast<std::int64_t>(BaseVertexIndex) + highest;
  if (first < 0 || static_cast<std::uint64_t>(streamOffset_) +
                           static_cast<std::uint64_t>(last) * streamStride_ + layout.size >
                       buffer->size())
    return ReportInvalidCall("DrawIndexedPrimitive: vertices %lld..%lld lie outside the buffer",
                             static_cast<long long>(first), static_cast<long long>(last));
  HRESULT result = PrepareDraw(PrimitiveType == D3DPT_POINTLIST, layout);
  if (FAILED(result)) return result;
  bool force = D3D9FullStateApply();
  // WebGL2 has no base-vertex draws: the base vertex moves where the vertices are read
  // from instead. A negative one that reaches before the stream's start is added to a
  // copy of the indices.
  const std::int64_t vertexStart = static_cast<std::int64_t>(streamOffset_) +
                                   static_cast<std::int64_t>(BaseVertexIndex) * streamStride_;
  ++gl_.counts().draws;
  if (vertexStart >= 0) {
    BindVertexSource(buffer->glBuffer(), static_cast<std::size_t>(vertexStart), streamStride_,
                     layout, force);
    gl_.BindElementBuffer(indices->glBuffer(), force);
    glDrawElements(ToGlPrimitive(PrimitiveType), static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(static_cast<std::size_t>(startIndex) * 2));
    return D3D_OK;
  }
  // Every index + base is 0 or more: checked above.
  const std::vector<std::uint32_t> moved = indices->MovedIndices(startIndex, count, BaseVertexIndex);
  BindVertexSource(buffer->glBuffer(), streamOffset_, streamStride_, layout, force);
  gl_.BindElementBuffer(upIndexBuffer_, force);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * 4, moved.data(),
               GL_STREAM_DRAW);
  glDrawElements(ToGlPrimitive(PrimitiveType), static_cast<GLsizei>(count), GL_UNSIGNED_INT, nullptr);
  return D3D_OK;
}

HRESULT Device9::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                 const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) {
  UINT vertices = 0;
  if (FAILED(CheckPrimitives("DrawPrimitiveUP", PrimitiveType, PrimitiveCount, &vertices)))
    return D3DERR_INVALIDCALL;
  if (!pVertexStreamZeroData) return ReportInvalidCall("DrawPrimitiveUP: null vertex data");
  VertexLayout layout;
  if (FAILED(CheckVertices("DrawPrimitiveUP", state_.fvf, VertexStreamZeroStride, &layout)))
    return D3DERR_INVALIDCALL;
  // Drawing from memory leaves stream 0 unset, as in Direct3D 9.
  stream_.reset();
  streamOffset_ = streamStride_ = 0;
  if (PrimitiveCount == 0) return D3D_OK;
  HRESULT result = PrepareDraw(PrimitiveType == D3DPT_POINTLIST, layout);
  if (FAILED(result)) return result;
  bool force = D3D9FullStateApply();
  gl_.BindArrayBuffer(upVertexBuffer_, force);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices) * VertexStreamZeroStride,
               pVertexStreamZeroData, GL_STREAM_DRAW);
  BindVertexSource(upVertexBuffer_, 0, VertexStreamZeroStride, layout, force);
  ++gl_.counts().draws;
  glDrawArrays(ToGlPrimitive(PrimitiveType), 0, static_cast<GLsizei>(vertices));
  return D3D_OK;
}

HRESULT Device9::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                        UINT NumVertices, UINT PrimitiveCount,
                                        const void* pIndexData, D3DFORMAT IndexDataFormat,
                                        const void* pVertexStreamZeroData,
                                        UINT VertexStreamZeroStride) {
  UINT count = 0;
  if (FAILED(CheckPrimitives("DrawIndexedPrimitiveUP", PrimitiveType, PrimitiveCount, &count)))
    return D3DERR_INVALIDCALL;
  if (!pIndexData || !pVertexStreamZeroData)
    return ReportInvalidCall("DrawIndexedPrimitiveUP: null data");
  if (IndexDataFormat != D3DFMT_INDEX16 && IndexDataFormat != D3DFMT_INDEX32)
    return ReportInvalidCall("DrawIndexedPrimitiveUP: index format %u", IndexDataFormat);
  VertexLayout layout;
  if (FAILED(CheckVertices("DrawIndexedPrimitiveUP", state_.fvf, VertexStreamZeroStride, &layout)))
    return D3DERR_INVALIDCALL;
  stream_.reset();
  indices_.reset();
  streamOffset_ = streamStride_ = 0;
  if (PrimitiveCount == 0) return D3D_OK;
  const bool wide = IndexDataFormat == D3DFMT_INDEX32;
  std::uint64_t vertexEnd = static_cast<std::uint64_t>(MinVertexIndex) + NumVertices;
  for (UINT i = 0; i < count; ++i) {
    std::uint32_t index = 0;
    if (wide)
      std::memcpy(&index, static_cast<const std::uint8_t*>(pIndexData) + 4 * i, 4);
    else {
      std::uint16_t narrow;
      std::memcpy(&narrow, static_cast<const std::uint8_t*>(pIndexData) + 2 * i, 2);
      index = narrow;
    }
    if (index < MinVertexIndex || index >= vertexEnd)
      return ReportInvalidCall("DrawIndexedPrimitiveUP: index %u outside %u..%llu", index,
                               MinVertexIndex, static_cast<unsigned long long>(vertexEnd) - 1);
  }
  HRESULT result = PrepareDraw(PrimitiveType == D3DPT_POINTLIST, layout);
  if (FAILED(result)) return result;
  bool force = D3D9FullStateApply();
  gl_.BindArrayBuffer(upVertexBuffer_, force);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexEnd * VertexStreamZeroStride),
               pVertexStreamZeroData, GL_STREAM_DRAW);
  BindVertexSource(upVertexBuffer_, 0, VertexStreamZeroStride, layout, force);
  gl_.BindElementBuffer(upIndexBuffer_, force);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * (wide ? 4 : 2),
               pIndexData, GL_STREAM_DRAW);
  ++gl_.counts().draws;
  glDrawElements(ToGlPrimitive(PrimitiveType), static_cast<GLsizei>(count),
                 ToGlIndexType(IndexDataFormat), nullptr);
  return D3D_OK;
}
