// Owning handles for GStreamer objects: every object is held by one of
// these from the moment it is created.
#pragma once

#include <gst/gst.h>

#include <memory>

namespace hp::host {

struct GstObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            gst_object_unref(object);
    }
};

struct GstStructureFree {
    void operator()(GstStructure *structure) const
    {
        if (structure)
            gst_structure_free(structure);
    }
};

struct GstCapsUnref {
    void operator()(GstCaps *caps) const
    {
        if (caps)
            gst_caps_unref(caps);
    }
};

struct GErrorFree {
    void operator()(GError *error) const
    {
        if (error)
            g_error_free(error);
    }
};

using GstElementHandle = std::unique_ptr<GstElement, GstObjectUnref>;
using GstBusHandle = std::unique_ptr<GstBus, GstObjectUnref>;
using GstPadHandle = std::unique_ptr<GstPad, GstObjectUnref>;
using GstStructureHandle = std::unique_ptr<GstStructure, GstStructureFree>;
using GstCapsHandle = std::unique_ptr<GstCaps, GstCapsUnref>;
using GErrorHandle = std::unique_ptr<GError, GErrorFree>;

// A new element, owned by the handle (its floating reference is sunk), or an
// empty handle when the factory is not installed.
inline GstElementHandle makeGstElement(const char *factory, const char *name = nullptr)
{
    GstElement *element = gst_element_factory_make(factory, name);
    if (element)
        gst_object_ref_sink(element);
    return GstElementHandle(element);
}

}  // namespace hp::host
