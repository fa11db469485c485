# Files of src/gui/views (paths relative to src/).
target_sources(velkorlib PRIVATE
)
