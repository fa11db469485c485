# Files of src/gui/forms (paths relative to src/).
target_sources(velkorlib PRIVATE
)
