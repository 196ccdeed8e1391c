// A look-development viewer for the baked content: draws the world and the
// overlays from the in-memory models with the scene's camera, light and
// placements, and saves the frame as a PNG (and, on request, the 152 x 112
// preview picture). It reads no archive, so it can judge the content on its
// own; procedural textures come from the system's own registry.

#include "assets/ArchiveContent.h"
#include "assets/BmpWriter.h"
#include "assets/PngEncoder.h"
#include "assets/Prng.h"
#include "proctex/ProceduralTextureManager.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace tarnwood;

namespace {

constexpr int previewScale = 8;

struct Viewer {
    std::map<std::string, GLuint> textures;
    std::vector<const BakedMesh*> deferred;
    std::vector<std::vector<double>> deferredMatrices;
    std::vector<bool> deferredLit;
    std::vector<bool> deferredDepth;

    GLuint Upload(const Canvas& canvas)
    {
        const std::vector<std::uint8_t> bytes = canvas.ToRgba8();
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, canvas.Width(), canvas.Height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     bytes.data());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        return name;
    }

    void AddImages(const ArchiveContent& content)
    {
        for (const auto& [name, image] : content.images) {
            textures[content.fileName + "/" + name] = Upload(image);
        }
    }

    GLuint TextureFor(const std::string& archive, const std::string& name)
    {
        auto it = textures.find(archive + "/" + name);
        if (it != textures.end()) {
            return it->second;
        }
        it = textures.find(name);
        return it != textures.end() ? it->second : 0;
    }

    void DrawArrays(const BakedMesh& mesh, GLuint texture)
    {
        glBindTexture(GL_TEXTURE_2D, texture);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, mesh.material.shininess);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, mesh.material.specular.data());
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, mesh.material.diffuse.data());
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, mesh.material.ambient.data());
        glVertexPointer(3, GL_DOUBLE, 0, mesh.positions.data());
        glNormalPointer(GL_DOUBLE, 0, mesh.normals.data());
        glTexCoordPointer(2, GL_DOUBLE, 0, mesh.texcoords.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mesh.positions.size()));
    }

    std::map<const BakedMesh*, std::string> archiveOf;

    void Draw(const BakedModel& model, const std::string& archive)
    {
        for (const BakedMesh& mesh : model.meshes) {
            archiveOf[&mesh] = archive;
            if (mesh.material.transparent) {
                std::vector<double> m(16);
                glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
                deferred.push_back(&mesh);
                deferredMatrices.push_back(m);
                deferredLit.push_back(glIsEnabled(GL_LIGHTING));
                deferredDepth.push_back(glIsEnabled(GL_DEPTH_TEST));
                continue;
            }
            if (mesh.material.alphaTested) {
                glEnable(GL_ALPHA_TEST);
            }
            DrawArrays(mesh, TextureFor(archive, mesh.texture));
            if (mesh.material.alphaTested) {
                glDisable(GL_ALPHA_TEST);
            }
        }
    }

    void DrawDeferred()
    {
        glDepthMask(GL_FALSE);
        for (std::size_t i = 0; i < deferred.size(); ++i) {
            const BakedMesh& mesh = *deferred[i];
            if (!deferredDepth[i]) {
                glDisable(GL_DEPTH_TEST);
            }
            if (deferredLit[i]) {
                glEnable(GL_LIGHTING);
                glEnable(GL_LIGHT1);
            }
            glEnable(GL_NORMALIZE);
            glLoadMatrixd(deferredMatrices[i].data());
            glEnable(GL_BLEND);
            DrawArrays(mesh, TextureFor(archiveOf[&mesh], mesh.texture));
            glDisable(GL_BLEND);
            glDisable(GL_LIGHTING);
            glDisable(GL_LIGHT1);
            glEnable(GL_DEPTH_TEST);
        }
        glDepthMask(GL_TRUE);
        deferred.clear();
        deferredMatrices.clear();
        deferredLit.clear();
        deferredDepth.clear();
    }
};

void SetupGl(int w, int h)
{
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.9f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<float>(w) / h, 0.1f, 250.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat diffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, diffuse);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.00007f);
}

const BakedModel& Find(const ArchiveContent& content, const std::string& name)
{
    for (const auto& [n, model] : content.models) {
        if (n == name) {
            return model;
        }
    }
    static const BakedModel none;
    std::fprintf(stderr, "no model %s in %s\n", name.c_str(), content.fileName.c_str());
    return none;
}

std::vector<std::uint8_t> ReadPixels(int w, int h)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::vector<std::uint8_t> flipped(rgb.size());
    for (int y = 0; y < h; ++y) {
        std::memcpy(flipped.data() + static_cast<std::size_t>(y) * w * 3,
                    rgb.data() + static_cast<std::size_t>(h - 1 - y) * w * 3, static_cast<std::size_t>(w) * 3);
    }
    return flipped;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}

int main(int argc, char** argv)
{
    std::string out = "lookdev.png";
    std::string preview;
    double turn = 30.0;
    double bob = 0.0;
    bool overlays = true;
    bool orb = true;
    int width = 1024;
    int height = 768;
    int frames = 1;
    bool msaa = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (a == "--out") {
            out = next();
        } else if (a == "--preview") {
            preview = next();
        } else if (a == "--turn") {
            turn = std::atof(next().c_str());
        } else if (a == "--bob") {
            bob = std::atof(next().c_str());
        } else if (a == "--world") {
            overlays = false;
            orb = false;
        } else if (a == "--no-orb") {
            orb = false;
        } else if (a == "--msaa") {
            msaa = true;
        } else if (a == "--frames") {
            frames = std::atoi(next().c_str());
        } else if (a == "--size") {
            width = std::atoi(next().c_str());
            height = std::atoi(next().c_str());
        }
    }
    if (!preview.empty()) {
        width = 152 * previewScale;
        height = 112 * previewScale;
        overlays = false;
        orb = false;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (msaa) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 4);
    }
    if (SDL_SetVideoMode(width, height, 32, SDL_OPENGL | (std::getenv("LOOK_FULLSCREEN") ? SDL_FULLSCREEN : 0)) == nullptr) {
        std::fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
        return 1;
    }
    SetupGl(width, height);
    const double aspect = static_cast<double>(static_cast<float>(width) / height);
    const double tan225 = std::tan(22.5 * M_PI / 180.0);
    auto edgeX = [&](double d) { return d * aspect * tan225; };
    auto edgeY = [&](double d) { return d * tan225; };

    const ArchiveContent mainPak = BuildMainArchive();
    const ArchiveContent clockPak = BuildClockArchive();
    const ArchiveContent calendarPak = BuildCalendarArchive();
    const ArchiveContent utilsPak = BuildUtilsArchive();
    Viewer viewer;
    viewer.AddImages(mainPak);
    viewer.AddImages(clockPak);
    viewer.AddImages(calendarPak);
    viewer.AddImages(utilsPak);
    // Procedural textures come from the real registry, run for a few
    // seconds of frames so the fire has built up.
    for (const ArchiveContent* content : {&mainPak}) {
        for (const auto& [name, model] : content->models) {
            for (const BakedMesh& mesh : model.meshes) {
                if (mesh.texture.size() > 1 && mesh.texture[1] == '#' && viewer.textures.count(mesh.texture) == 0) {
                    viewer.textures[mesh.texture] = ProceduralTextureManager::Instance().Acquire(mesh.texture);
                }
            }
        }
    }
    std::srand(5);
    for (std::uint32_t tick = 16; tick < 4000; tick += 16) {
        ProceduralTextureManager::Instance().UpdateAll(60000 + tick);
    }

    const Uint32 started = SDL_GetTicks();
    for (int frame = 0; frame < frames; ++frame) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -100);

    // The light node: GL_LIGHT1 at world (0, 5, 90).
    glPushMatrix();
    glTranslatef(0, 5, 90);
    const GLfloat origin[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, origin);
    glPopMatrix();

    // The tree group.
    glPushMatrix();
    glTranslatef(0, -22, 40);
    glRotatef(-105, 1, 0, 0);
    glTranslatef(0, static_cast<float>(bob), 0);
    glRotatef(static_cast<float>(turn), 0, 0, 1);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    glDisable(GL_LIGHTING);
    viewer.Draw(Find(mainPak, "nebo"), "main.pak");
    glEnable(GL_LIGHTING);
    viewer.Draw(Find(mainPak, "tree"), "main.pak");
    viewer.Draw(Find(mainPak, "tabl"), "main.pak");
    // A scatter of falling leaves in the spawner's frame.
    glPushMatrix();
    glRotatef(-90, 0, 1, 0);
    glTranslatef(30, 0, 0);
    Prng prng(77);
    for (int i = 0; i < 40; ++i) {
        glPushMatrix();
        const double fall = prng.Range(0.0, 12.0) * -5.0;
        glTranslatef(static_cast<float>(prng.Below(20) - 10 + fall), static_cast<float>(prng.Below(40) - 20),
                     static_cast<float>(prng.Below(40) - 20));
        glRotatef(static_cast<float>(prng.Range(0, 360)), 1, 0, 0);
        glRotatef(static_cast<float>(prng.Range(0, 360)), 0, 1, 0);
        glRotatef(static_cast<float>(prng.Range(0, 360)), 0, 0, 1);
        glEnable(GL_NORMALIZE);
        glScalef(0.1f, 0.1f, 0.1f);
        viewer.Draw(Find(mainPak, "list"), "main.pak");
        glDisable(GL_NORMALIZE);
        glPopMatrix();
    }
    glPopMatrix();
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHTING);
    glPopMatrix();

    if (overlays) {
        glDisable(GL_DEPTH_TEST);
        // Calendar, December 2026 (starts on a Tuesday), Sunday first, today the 11th.
        glPushMatrix();
        glTranslatef(static_cast<float>(-edgeX(-211)), static_cast<float>(edgeY(183)), -140);
        glPushMatrix();
        glTranslatef(-16, -12, 0);
        viewer.Draw(Find(calendarPak, "fon"), "calendar.pak");
        glPopMatrix();
        glPushMatrix();
        glTranslatef(-16, 8, 0);
        viewer.Draw(Find(calendarPak, "day"), "calendar.pak");
        glPopMatrix();
        glPushMatrix();
        glTranslatef(-16, 16, 0);
        viewer.Draw(Find(calendarPak, "m12"), "calendar.pak");
        glPopMatrix();
        const int first = 2;
        for (int i = 0; i < 42; ++i) {
            const int day = (i >= first && i < first + 31) ? i - first + 1 : 0;
            glPushMatrix();
            glTranslatef(static_cast<float>((i % 7 - 5) * 8), static_cast<float>(-(i / 7) * 8), 0);
            if (day == 11) {
                viewer.Draw(Find(calendarPak, "sel"), "calendar.pak");
            }
            viewer.Draw(Find(calendarPak, day == 0 ? "null" : std::to_string(day)), "calendar.pak");
            glPopMatrix();
        }
        glPopMatrix();

        // Frame rate: "60".
        glPushMatrix();
        glTranslatef(static_cast<float>(edgeX(-100) + 5), static_cast<float>(-2.5 - edgeY(-100)), 0);
        viewer.Draw(Find(utilsPak, "fps"), "utils.pak");
        glPushMatrix();
        glTranslatef(1.9f, 0, 0);
        viewer.Draw(Find(utilsPak, "6"), "utils.pak");
        glPopMatrix();
        glPushMatrix();
        glTranslatef(3.3f, 0, 0);
        viewer.Draw(Find(utilsPak, "0"), "utils.pak");
        glPopMatrix();
        glPopMatrix();

        // Large 12-hour digital clock showing 10:09 pm with the separator lit.
        glPushMatrix();
        glTranslatef(static_cast<float>(-edgeX(-70)), static_cast<float>(edgeY(-70)), 30);
        glTranslatef(-10 - 5.186f, 1, 0);
        viewer.Draw(Find(clockPak, "podlozka_am"), "clock.pak");
        const struct {
            double x;
            const char* entry;
        } slots[] = {{11.432, "pm"}, {-6.483, "1"}, {-2.498, "0"}, {0, "dot"}, {2.523, "0"}, {6.466, "9"}};
        for (const auto& s : slots) {
            glPushMatrix();
            glTranslatef(static_cast<float>(s.x), 0, 0);
            viewer.Draw(Find(clockPak, s.entry), "clock.pak");
            glPopMatrix();
        }
        glPopMatrix();

        // The analog clock, small, at the bottom-left for comparison.
        glPushMatrix();
        glTranslatef(static_cast<float>(edgeX(-170)), static_cast<float>(edgeY(-170)), -70);
        glTranslatef(9.3f + 9.3f, 9, 0);
        viewer.Draw(Find(clockPak, "ciferblat"), "clock.pak");
        const struct {
            const char* entry;
            double angle;
        } hands[] = {{"sec", -42}, {"min", -186}, {"chas", -435}};
        for (const auto& h : hands) {
            glPushMatrix();
            glRotatef(static_cast<float>(h.angle), 0, 0, 1);
            viewer.Draw(Find(clockPak, h.entry), "clock.pak");
            glPopMatrix();
        }
        glPopMatrix();
    }
    if (orb) {
        glDisable(GL_DEPTH_TEST);
        glPushMatrix();
        glScalef(0.5f, 0.5f, 0.5f);
        viewer.Draw(Find(mainPak, "nn"), "main.pak");
        glPopMatrix();
    }
    glEnable(GL_DEPTH_TEST);
    viewer.DrawDeferred();
    glFinish();
    }
    if (frames > 1) {
        std::printf("%.1f frames per second\n", frames * 1000.0 / std::max<Uint32>(1, SDL_GetTicks() - started));
    }

    const std::vector<std::uint8_t> rgb = ReadPixels(width, height);
    if (!preview.empty()) {
        // Box-filter down to the preview size.
        const int k = previewScale;
        const int pw = width / k;
        const int ph = height / k;
        std::vector<std::uint8_t> small(static_cast<std::size_t>(pw) * ph * 3);
        for (int y = 0; y < ph; ++y) {
            for (int x = 0; x < pw; ++x) {
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    for (int j = 0; j < k; ++j) {
                        for (int i = 0; i < k; ++i) {
                            sum += rgb[(static_cast<std::size_t>(y * k + j) * width + x * k + i) * 3 + c];
                        }
                    }
                    small[(static_cast<std::size_t>(y) * pw + x) * 3 + c] =
                        static_cast<std::uint8_t>((sum + k * k / 2) / (k * k));
                }
            }
        }
        WriteFile(preview, EncodeBmp24(small, pw, ph));
    }
    Canvas shot(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            shot.At(x, y) = Rgb(p[0], p[1], p[2]);
        }
    }
    WriteFile(out, EncodePng(shot));
    SDL_Quit();
    return 0;
}
